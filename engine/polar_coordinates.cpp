#include "engine/polar_coordinates.h"

#include <cstdlib>

#include "engine/curve_math.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"

void StartPolarCoordinates(KVornSaver& saver) {
    PolarValues& polar = saver.polar;
    polar.polarTheta = 0;
    polar.polarRadius = 0;
    polar.polarThetaStep = kHalfDegree;
    polar.polarRotation = 0;
    polar.polarDivisor = static_cast<float>(rand() % 4);
}

void StepPolarCoordinates(KVornSaver& saver) {
    PolarValues& polar = saver.polar;
    if (!polar.polarReady) {
        polar.polarScale = ToFloat(saver.height / 3.0 - 4.0 * saver.spotSize);
        polar.polarReady = true;
    }
    // A rose, r = cos 2 theta (+ 1 / divisor unless that is 0), turned by the
    // rotation and scaled to the screen: phi and rho are the point's angle and radius.
    const float rose = Cos(ToFloat(2.0 * ToDouble(polar.polarTheta)));
    polar.polarRadius = polar.polarDivisor < 1
                            ? rose
                            : ToFloat(ToDouble(rose) + 1.0 / ToDouble(polar.polarDivisor));
    const float phi = ToFloat(ToDouble(polar.polarTheta) + ToDouble(polar.polarRotation));
    const double rho = ToDouble(polar.polarRadius) * ToDouble(polar.polarScale);
    saver.posX = saver.centerX + Truncate(ToDouble(Cos(phi)) * rho);
    saver.posY = saver.centerY + Truncate(ToDouble(Sin(phi)) * rho);
    Stamp(saver, saver.posX, saver.posY);

    polar.polarTheta = ToFloat(ToDouble(polar.polarTheta) + ToDouble(polar.polarThetaStep));
    if (polar.polarTheta > kTwoPi) {
        polar.polarTheta = ToFloat(ToDouble(polar.polarTheta) - ToDouble(kTwoPi));
        polar.polarRotation = ToFloat(ToDouble(polar.polarRotation) + ToDouble(kFourDegrees));
    }
}
