// The three straight-line motions: Random Linear, Random Pointer and Random
// Linear Angle. The order of the rand() draws decides the picture.
#include "engine/linear_motions.h"

#include <cstdlib>

#include "engine/motions.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"
#include "settings/settings.h"

namespace {

// Applies the bounce rule to one axis; draws only when the step bounces.
bool Bounce(int pos, int& step, int spotSize, int extent, int bound) {
    if (!StepLeavesSurface(pos, step, spotSize, extent)) return false;
    step = ReversedStep(step, rand(), bound);
    return true;
}

// +1 or -1 with even chances.
int HalfChanceSign() {
    return rand() % 100 + 1 <= 50 ? 1 : -1;
}

int SignOf(int step) {
    return step >= 0 ? 1 : -1;
}

int DrawDifference(int range) {
    const int first = rand() % range;
    const int second = rand() % range;
    return first - second;
}

void MoveAndStamp(KVornSaver& saver) {
    saver.posY += saver.stepY;
    saver.posX += saver.stepX;
    Stamp(saver, saver.posX, saver.posY);
}

} // namespace

int LinearStepBound(int spotSize, bool lineNew, bool horizontal) {
    if (!lineNew) return horizontal ? 3 : 2;
    // Spots of 1 pixel would give a bound of 0 and a zero divisor.
    const int bound = spotSize / 2;
    return bound < 1 ? 1 : bound;
}

void StartLinear(KVornSaver& saver) {
    const bool lineNew = Settings.LineNew != 0;
    saver.maxStepX = LinearStepBound(saver.spotSize, lineNew, true);
    saver.maxStepY = LinearStepBound(saver.spotSize, lineNew, false);
    saver.stepX = rand() % saver.maxStepX + 1;
    saver.stepY = rand() % saver.maxStepY + 1;
    saver.posX = rand() % saver.width - 2 * saver.stepX - saver.spotSize + 1;
    saver.posY = rand() % saver.height - 2 * saver.stepY - saver.spotSize + 1;
}

void StepRandomLinear(KVornSaver& saver) {
    Bounce(saver.posX, saver.stepX, saver.spotSize, saver.width, saver.maxStepX);
    Bounce(saver.posY, saver.stepY, saver.spotSize, saver.height, saver.maxStepY);
    MoveAndStamp(saver);
}

void StepRandomPointer(KVornSaver& saver) {
    const int range = PointerRange(saver.intensity, saver.spotSize);
    saver.stepY = DrawDifference(range);
    saver.stepX = DrawDifference(range);
    Bounce(saver.posX, saver.stepX, saver.spotSize, saver.width, range);
    Bounce(saver.posY, saver.stepY, saver.spotSize, saver.height, range);
    MoveAndStamp(saver);
}

void StepRandomLinearAngle(KVornSaver& saver) {
    const int oldStepX = saver.stepX;
    const int oldStepY = saver.stepY;
    int lastSign = 0; // multiplier of the last 50 % draw; 0 when none was made
    if (Bounce(saver.posX, saver.stepX, saver.spotSize, saver.width, saver.maxStepX)) {
        lastSign = HalfChanceSign();
        saver.stepY *= lastSign;
    }
    if (Bounce(saver.posY, saver.stepY, saver.spotSize, saver.height, saver.maxStepY)) {
        lastSign = HalfChanceSign();
        saver.stepX *= lastSign;
    }
    // Never turn back along the incoming path. With both bounds 1 no other
    // velocity exists, so the spot is then allowed to retrace it.
    const bool onlyOneVelocity = saver.maxStepX == 1 && saver.maxStepY == 1;
    if (lastSign == -1 && !onlyOneVelocity) {
        while (saver.stepX == -oldStepX && saver.stepY == -oldStepY) {
            saver.stepX = SignOf(saver.stepX) * (rand() % saver.maxStepX + 1);
            saver.stepY = SignOf(saver.stepY) * (rand() % saver.maxStepY + 1);
        }
    }
    MoveAndStamp(saver);
}
