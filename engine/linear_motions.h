#pragma once
// The three straight-line motions: Random Linear, Random Pointer and Random
// Linear Angle. They share one start and one set of values.
class KVornSaver;

struct LinearValues {
    int maxStepX = 0;
    int maxStepY = 0;
    int stepX = 0;
    int stepY = 0;
};

void StartLinear(KVornSaver& saver);
void StepRandomLinear(KVornSaver& saver);
void StepRandomPointer(KVornSaver& saver);
void StepRandomLinearAngle(KVornSaver& saver);

// Pieces that tests call directly.

// Whether a step would take the spot off the surface on one axis. Both tests
// are strict: landing on column 0, or with the far edge on extent - 1, is inside.
inline bool StepLeavesSurface(int pos, int step, int spotSize, int extent) {
    return pos + step < 0 || pos + step + spotSize > extent - 1;
}

// The step after a bounce, from a draw: the size is draw mod bound + 1 and the
// sign is the opposite of the old step's (a zero step counts as negative).
inline int ReversedStep(int oldStep, int draw, int bound) {
    const int size = draw % bound + 1;
    return oldStep > 0 ? -size : size;
}

// Bound of new step sizes; with LineNew it follows the spot, but never below 1.
int LinearStepBound(int spotSize, bool lineNew, bool horizontal);

// Range of Random Pointer's draws: steps run from -(R - 1) to R - 1.
inline int PointerRange(int intensity, int spotSize) {
    return (intensity + spotSize - 3) / 2;
}
