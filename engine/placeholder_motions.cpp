// Stand-ins until the real motions land: every row stamps at the centre.
#include "engine/motions.h"
#include "engine/stamp.h"

namespace {
void StampCentre(KVornSaver& saver) { Stamp(saver, saver.centerX, saver.centerY); }
void Nothing(KVornSaver&) {}
} // namespace

void StartLinear(KVornSaver& saver) { Nothing(saver); }
void StepRandomLinear(KVornSaver& saver) { StampCentre(saver); }
void StepRandomPointer(KVornSaver& saver) { StampCentre(saver); }
void StepRandomLinearAngle(KVornSaver& saver) { StampCentre(saver); }
void StartHorizontalSine(KVornSaver& saver) { Nothing(saver); }
void StepHorizontalSine(KVornSaver& saver) { StampCentre(saver); }
void StartCircularBounce(KVornSaver& saver) { Nothing(saver); }
void StepCircularBounce(KVornSaver& saver) { StampCentre(saver); }
void StartPolarCoordinates(KVornSaver& saver) { Nothing(saver); }
void StepPolarCoordinates(KVornSaver& saver) { StampCentre(saver); }
