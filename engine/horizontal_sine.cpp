#include "engine/horizontal_sine.h"

#include <cstdlib>

#include "engine/curve_math.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"

void StartHorizontalSine(KVornSaver& saver) {
    SineValues& sine = saver.sine;
    sine.sineHalfWaves = static_cast<float>(rand() % 7 + 1);
    sine.sineAngle = 0;
    sine.sineAngleStep = kHalfDegree;
    sine.sineDirection = 1;
}

void StepHorizontalSine(KVornSaver& saver) {
    SineValues& sine = saver.sine;
    if (!sine.sineReady) {
        sine.sineSweepWidth = saver.width - 4 * saver.spotSize;
        sine.sineSweepHeight = saver.height - 4 * saver.spotSize;
        sine.sineReady = true;
    }
    const double end = ToDouble(sine.sineHalfWaves) * ToDouble(kPi);
    saver.posX = Truncate(ToDouble(sine.sineAngle) / end * sine.sineSweepWidth);
    const int amplitude = sine.sineSweepHeight / 4;
    saver.posY = saver.centerY +
                 Truncate(ToDouble(Sin(sine.sineAngle)) * ToDouble(sine.sineDirection) * amplitude);
    Stamp(saver, saver.posX, saver.posY);

    sine.sineAngle = ToFloat(ToDouble(sine.sineAngle) + ToDouble(sine.sineAngleStep));
    if (ToDouble(sine.sineAngle) > end) {
        sine.sineAngleStep = -sine.sineAngleStep;
        sine.sineAngle = ToFloat(ToDouble(sine.sineAngle) + ToDouble(sine.sineAngleStep));
        sine.sineDirection = -sine.sineDirection;
    } else if (sine.sineAngle < 0) {
        StartHorizontalSine(saver);
    }
}
