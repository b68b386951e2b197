// The order of the rand() draws decides the picture.
#include "engine/linear_motions.h"

#include <cstdlib>

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
    saver.posY += saver.linear.stepY;
    saver.posX += saver.linear.stepX;
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
    LinearValues& line = saver.linear;
    const bool lineNew = Settings.LineNew != 0;
    line.maxStepX = LinearStepBound(saver.spotSize, lineNew, true);
    line.maxStepY = LinearStepBound(saver.spotSize, lineNew, false);
    line.stepX = rand() % line.maxStepX + 1;
    line.stepY = rand() % line.maxStepY + 1;
    saver.posX = rand() % saver.width - 2 * line.stepX - saver.spotSize + 1;
    saver.posY = rand() % saver.height - 2 * line.stepY - saver.spotSize + 1;
}

void StepRandomLinear(KVornSaver& saver) {
    LinearValues& line = saver.linear;
    Bounce(saver.posX, line.stepX, saver.spotSize, saver.width, line.maxStepX);
    Bounce(saver.posY, line.stepY, saver.spotSize, saver.height, line.maxStepY);
    MoveAndStamp(saver);
}

void StepRandomPointer(KVornSaver& saver) {
    LinearValues& line = saver.linear;
    const int range = PointerRange(saver.intensity, saver.spotSize);
    line.stepY = DrawDifference(range);
    line.stepX = DrawDifference(range);
    Bounce(saver.posX, line.stepX, saver.spotSize, saver.width, range);
    Bounce(saver.posY, line.stepY, saver.spotSize, saver.height, range);
    MoveAndStamp(saver);
}

void StepRandomLinearAngle(KVornSaver& saver) {
    LinearValues& line = saver.linear;
    const int oldStepX = line.stepX;
    const int oldStepY = line.stepY;
    int lastSign = 0; // multiplier of the last 50 % draw; 0 when none was made
    if (Bounce(saver.posX, line.stepX, saver.spotSize, saver.width, line.maxStepX)) {
        lastSign = HalfChanceSign();
        line.stepY *= lastSign;
    }
    if (Bounce(saver.posY, line.stepY, saver.spotSize, saver.height, line.maxStepY)) {
        lastSign = HalfChanceSign();
        line.stepX *= lastSign;
    }
    // Never turn back along the incoming path. With both bounds 1 no other
    // velocity exists, so the spot is then allowed to retrace it.
    const bool onlyOneVelocity = line.maxStepX == 1 && line.maxStepY == 1;
    if (lastSign == -1 && !onlyOneVelocity) {
        while (line.stepX == -oldStepX && line.stepY == -oldStepY) {
            line.stepX = SignOf(line.stepX) * (rand() % line.maxStepX + 1);
            line.stepY = SignOf(line.stepY) * (rand() % line.maxStepY + 1);
        }
    }
    MoveAndStamp(saver);
}
