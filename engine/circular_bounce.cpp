#include "engine/circular_bounce.h"

#include <cstdlib>

#include "engine/curve_math.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"

float PulseAmplitudeFor(int draw, int height) {
    return static_cast<float>(draw % height / 20 + 1 + height / 15);
}

float PulseStepFor(int draw) {
    return ToFloat(draw / 32767.0 * 10.0 * 2.0 * ToDouble(kPi) / 360.0);
}

void StartCircularBounce(KVornSaver& saver) {
    CircleValues& circle = saver.circle;
    circle.circleAngle = 0;
    circle.circleAngleStep = kOneDegree;
    circle.pulsePhase = 0;
    circle.pulseAmplitude = PulseAmplitudeFor(rand(), saver.height);
    circle.circleBaseRadius =
        ToFloat(saver.height / 2 - 2.0 * ToDouble(circle.pulseAmplitude) - 2 * saver.spotSize);
    circle.pulseStep = PulseStepFor(rand());
}

void StepCircularBounce(KVornSaver& saver) {
    CircleValues& circle = saver.circle;
    const double radius =
        ToDouble(circle.circleBaseRadius) +
        Truncate(ToDouble(Sin(circle.pulsePhase)) * ToDouble(circle.pulseAmplitude));
    saver.posX = saver.centerX + Truncate(ToDouble(Cos(circle.circleAngle)) * radius);
    saver.posY = saver.centerY + Truncate(ToDouble(Sin(circle.circleAngle)) * radius);
    Stamp(saver, saver.posX, saver.posY);

    circle.circleAngle = ToFloat(ToDouble(circle.circleAngle) + ToDouble(circle.circleAngleStep));
    if (circle.circleAngle > kTwoPi)
        circle.circleAngle = ToFloat(ToDouble(circle.circleAngle) - ToDouble(kTwoPi));
    circle.pulsePhase = ToFloat(ToDouble(circle.pulsePhase) + ToDouble(circle.pulseStep));
}
