#include "engine/motions.h"

const MotionRow kMotionRows[kMotionCount] = {
    {"Random Linear", StartLinear, StepRandomLinear},
    {"Random Pointer", StartLinear, StepRandomPointer},
    {"Horizontal Sine", StartHorizontalSine, StepHorizontalSine},
    {"Circular Bounce", StartCircularBounce, StepCircularBounce},
    {"Polar Coordinates", StartPolarCoordinates, StepPolarCoordinates},
    {"Random Linear Angle", StartLinear, StepRandomLinearAngle},
};

const char kRandomMotionName[] = "Random";
