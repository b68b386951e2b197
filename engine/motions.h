#pragma once
// The motions: the table of their rows, and what the stored setting
// Algorithm says about them. Only constants and declarations, so that the
// dialog and the test drivers can count the motions too.
#include "engine/circular_bounce.h"
#include "engine/horizontal_sine.h"
#include "engine/linear_motions.h"
#include "engine/polar_coordinates.h"

// A motion's operation reads and writes the engine object's fields.
using MotionOp = void (*)(KVornSaver&);

struct MotionRow {
    const char* name;
    MotionOp init; // starts a phase: position and the motion's own values
    MotionOp step; // moves one frame and stamps
};

// A new motion goes at the end: a row's place decides how its choice is stored.
inline constexpr MotionRow kMotionRows[] = {
    {"Random Linear", StartLinear, StepRandomLinear},
    {"Random Pointer", StartLinear, StepRandomPointer},
    {"Horizontal Sine", StartHorizontalSine, StepHorizontalSine},
    {"Circular Bounce", StartCircularBounce, StepCircularBounce},
    {"Polar Coordinates", StartPolarCoordinates, StepPolarCoordinates},
    {"Random Linear Angle", StartLinear, StepRandomLinearAngle},
};

constexpr int kMotionCount = sizeof(kMotionRows) / sizeof(kMotionRows[0]);
constexpr char kRandomMotionName[] = "Random";

// The stored Algorithm 6 is the random choice, for good: the first six rows
// are stored as their index and later rows as index + 1 (a seventh motion is
// 7), so what users have stored keeps its meaning as motions are added.
constexpr long kRandomAlgorithm = 6;
constexpr int kNoRow = -1;
static_assert(kMotionCount >= kRandomAlgorithm, "rows are added, never taken away");

constexpr long AlgorithmOfRow(int row) {
    return row < kRandomAlgorithm ? row : row + 1;
}

// The highest stored value with a meaning: every value from 0 to it names a
// row or the random choice.
constexpr long kLastAlgorithm = kMotionCount > kRandomAlgorithm ? AlgorithmOfRow(kMotionCount - 1)
                                                                : kRandomAlgorithm;

// The row a stored value names; kNoRow for the random choice and for values
// that name nothing.
constexpr int RowOfAlgorithm(long algorithm) {
    if (algorithm < 0 || algorithm == kRandomAlgorithm || algorithm > kLastAlgorithm) return kNoRow;
    return static_cast<int>(algorithm < kRandomAlgorithm ? algorithm : algorithm - 1);
}
