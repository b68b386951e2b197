// The three curve motions: Horizontal Sine, Circular Bounce and Polar
// Coordinates. Arithmetic is done in double; values are rounded to float
// where they are stored and where ToFloat() marks it, so the pixels do not
// depend on how the compiler keeps intermediates.
#include "engine/trig_motions.h"

#include <cmath>
#include <cstdlib>

#include "engine/motions.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"

TrigRunValues trigRunValues;

namespace {

// Rounds to single precision, as the float fields store it.
float ToFloat(double x) {
    return static_cast<float>(x);
}
// Widens a float, so that the arithmetic it takes part in is done in double.
double ToDouble(float x) {
    return static_cast<double>(x);
}
// Truncates toward zero: how a curve's point becomes a pixel position.
int Truncate(double x) {
    return static_cast<int>(x);
}
// Sine and cosine of a float angle, computed in double and rounded to float.
float Sin(float x) {
    return ToFloat(std::sin(ToDouble(x)));
}
float Cos(float x) {
    return ToFloat(std::cos(ToDouble(x)));
}

} // namespace

float PulseAmplitudeFor(int draw, int height) {
    return static_cast<float>(draw % height / 20 + 1 + height / 15);
}

float PulseStepFor(int draw) {
    return ToFloat(draw / 32767.0 * 10.0 * 2.0 * ToDouble(kPi) / 360.0);
}

void StartHorizontalSine(KVornSaver& saver) {
    saver.sineHalfWaves = static_cast<float>(rand() % 7 + 1);
    saver.sineAngle = 0;
    saver.sineAngleStep = kHalfDegree;
    saver.sineDirection = 1;
}

void StepHorizontalSine(KVornSaver& saver) {
    TrigRunValues& run = trigRunValues;
    if (!run.sineReady) {
        run.sineSweepWidth = saver.width - 4 * saver.spotSize;
        run.sineSweepHeight = saver.height - 4 * saver.spotSize;
        run.sineReady = true;
    }
    const double end = ToDouble(saver.sineHalfWaves) * ToDouble(kPi);
    saver.posX = Truncate(ToDouble(saver.sineAngle) / end * run.sineSweepWidth);
    const int amplitude = run.sineSweepHeight / 4;
    saver.posY = saver.centerY + Truncate(ToDouble(Sin(saver.sineAngle)) *
                                          ToDouble(saver.sineDirection) * amplitude);
    Stamp(saver, saver.posX, saver.posY);

    saver.sineAngle = ToFloat(ToDouble(saver.sineAngle) + ToDouble(saver.sineAngleStep));
    if (ToDouble(saver.sineAngle) > end) {
        saver.sineAngleStep = -saver.sineAngleStep;
        saver.sineAngle = ToFloat(ToDouble(saver.sineAngle) + ToDouble(saver.sineAngleStep));
        saver.sineDirection = -saver.sineDirection;
    } else if (saver.sineAngle < 0) {
        StartHorizontalSine(saver);
    }
}

void StartCircularBounce(KVornSaver& saver) {
    saver.circleAngle = 0;
    saver.circleAngleStep = kOneDegree;
    saver.pulsePhase = 0;
    saver.pulseAmplitude = PulseAmplitudeFor(rand(), saver.height);
    saver.circleBaseRadius =
        ToFloat(saver.height / 2 - 2.0 * ToDouble(saver.pulseAmplitude) - 2 * saver.spotSize);
    saver.pulseStep = PulseStepFor(rand());
}

void StepCircularBounce(KVornSaver& saver) {
    const double radius =
        ToDouble(saver.circleBaseRadius) +
        Truncate(ToDouble(Sin(saver.pulsePhase)) * ToDouble(saver.pulseAmplitude));
    saver.posX = saver.centerX + Truncate(ToDouble(Cos(saver.circleAngle)) * radius);
    saver.posY = saver.centerY + Truncate(ToDouble(Sin(saver.circleAngle)) * radius);
    Stamp(saver, saver.posX, saver.posY);

    saver.circleAngle = ToFloat(ToDouble(saver.circleAngle) + ToDouble(saver.circleAngleStep));
    if (saver.circleAngle > kTwoPi)
        saver.circleAngle = ToFloat(ToDouble(saver.circleAngle) - ToDouble(kTwoPi));
    saver.pulsePhase = ToFloat(ToDouble(saver.pulsePhase) + ToDouble(saver.pulseStep));
}

void StartPolarCoordinates(KVornSaver& saver) {
    saver.polarTheta = 0;
    saver.polarRadius = 0;
    saver.polarThetaStep = kHalfDegree;
    saver.polarRotation = 0;
    saver.polarDivisor = static_cast<float>(rand() % 4);
}

void StepPolarCoordinates(KVornSaver& saver) {
    TrigRunValues& run = trigRunValues;
    if (!run.polarReady) {
        run.polarScale = ToFloat(saver.height / 3.0 - 4.0 * saver.spotSize);
        run.polarReady = true;
    }
    // A rose, r = cos 2 theta (+ 1 / divisor unless that is 0), turned by the
    // rotation and scaled to the screen: phi and rho are the point's angle and radius.
    const float rose = Cos(ToFloat(2.0 * ToDouble(saver.polarTheta)));
    saver.polarRadius = saver.polarDivisor < 1
                            ? rose
                            : ToFloat(ToDouble(rose) + 1.0 / ToDouble(saver.polarDivisor));
    const float phi = ToFloat(ToDouble(saver.polarTheta) + ToDouble(saver.polarRotation));
    const double rho = ToDouble(saver.polarRadius) * ToDouble(run.polarScale);
    saver.posX = saver.centerX + Truncate(ToDouble(Cos(phi)) * rho);
    saver.posY = saver.centerY + Truncate(ToDouble(Sin(phi)) * rho);
    Stamp(saver, saver.posX, saver.posY);

    saver.polarTheta = ToFloat(ToDouble(saver.polarTheta) + ToDouble(saver.polarThetaStep));
    if (saver.polarTheta > kTwoPi) {
        saver.polarTheta = ToFloat(ToDouble(saver.polarTheta) - ToDouble(kTwoPi));
        saver.polarRotation = ToFloat(ToDouble(saver.polarRotation) + ToDouble(kFourDegrees));
    }
}
