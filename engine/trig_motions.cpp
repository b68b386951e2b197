// The three curve motions: Horizontal Sine, Circular Bounce and Polar
// Coordinates. Arithmetic is done in double; values are rounded to float
// where they are stored and where f() marks it, so the pixels do not depend on
// how the compiler keeps intermediates.
#include "engine/trig_motions.h"

#include <cmath>
#include <cstdlib>

#include "engine/motions.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"

TrigRunValues trigRunValues;

namespace {

float F(double x) {
    return static_cast<float>(x);
}
// Truncates toward zero.
int T(double x) {
    return static_cast<int>(x);
}
float Sin(float x) {
    return F(std::sin(static_cast<double>(x)));
}
float Cos(float x) {
    return F(std::cos(static_cast<double>(x)));
}
double D(float x) {
    return static_cast<double>(x);
}

} // namespace

float PulseAmplitudeFor(int draw, int height) {
    return static_cast<float>(draw % height / 20 + 1 + height / 15);
}

float PulseStepFor(int draw) {
    return F(draw / 32767.0 * 10.0 * 2.0 * D(kPi) / 360.0);
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
    const double end = D(saver.sineHalfWaves) * D(kPi);
    saver.posX = T(D(saver.sineAngle) / end * run.sineSweepWidth);
    const int amplitude = run.sineSweepHeight / 4;
    saver.posY = saver.centerY + T(D(Sin(saver.sineAngle)) * D(saver.sineDirection) * amplitude);
    Stamp(saver, saver.posX, saver.posY);

    saver.sineAngle = F(D(saver.sineAngle) + D(saver.sineAngleStep));
    if (D(saver.sineAngle) > end) {
        saver.sineAngleStep = -saver.sineAngleStep;
        saver.sineAngle = F(D(saver.sineAngle) + D(saver.sineAngleStep));
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
        F(saver.height / 2 - 2.0 * D(saver.pulseAmplitude) - 2 * saver.spotSize);
    saver.pulseStep = PulseStepFor(rand());
}

void StepCircularBounce(KVornSaver& saver) {
    const double radius =
        D(saver.circleBaseRadius) + T(D(Sin(saver.pulsePhase)) * D(saver.pulseAmplitude));
    saver.posX = saver.centerX + T(D(Cos(saver.circleAngle)) * radius);
    saver.posY = saver.centerY + T(D(Sin(saver.circleAngle)) * radius);
    Stamp(saver, saver.posX, saver.posY);

    saver.circleAngle = F(D(saver.circleAngle) + D(saver.circleAngleStep));
    if (saver.circleAngle > kTwoPi) saver.circleAngle = F(D(saver.circleAngle) - D(kTwoPi));
    saver.pulsePhase = F(D(saver.pulsePhase) + D(saver.pulseStep));
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
        run.polarScale = F(saver.height / 3.0 - 4.0 * saver.spotSize);
        run.polarReady = true;
    }
    const float q = Cos(F(2.0 * D(saver.polarTheta)));
    saver.polarRadius = saver.polarDivisor < 1 ? q : F(D(q) + 1.0 / D(saver.polarDivisor));
    const float phi = F(D(saver.polarTheta) + D(saver.polarRotation));
    const double rho = D(saver.polarRadius) * D(run.polarScale);
    saver.posX = saver.centerX + T(D(Cos(phi)) * rho);
    saver.posY = saver.centerY + T(D(Sin(phi)) * rho);
    Stamp(saver, saver.posX, saver.posY);

    saver.polarTheta = F(D(saver.polarTheta) + D(saver.polarThetaStep));
    if (saver.polarTheta > kTwoPi) {
        saver.polarTheta = F(D(saver.polarTheta) - D(kTwoPi));
        saver.polarRotation = F(D(saver.polarRotation) + D(kFourDegrees));
    }
}
