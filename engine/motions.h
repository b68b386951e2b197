#pragma once
// The motions: one start and one step operation per row of the table.
#include "engine/vorn_saver.h"

struct MotionRow {
    const char* name;
    MotionOp init;
    MotionOp step;
};

// Rows in table order; the index is the value of the setting Algorithm.
extern const MotionRow kMotionRows[kMotionCount];
extern const char kRandomMotionName[];

void StartLinear(KVornSaver& saver);
void StepRandomLinear(KVornSaver& saver);
void StepRandomPointer(KVornSaver& saver);
void StepRandomLinearAngle(KVornSaver& saver);

void StartHorizontalSine(KVornSaver& saver);
void StepHorizontalSine(KVornSaver& saver);
void StartCircularBounce(KVornSaver& saver);
void StepCircularBounce(KVornSaver& saver);
void StartPolarCoordinates(KVornSaver& saver);
void StepPolarCoordinates(KVornSaver& saver);
