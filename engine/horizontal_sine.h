#pragma once
// Horizontal Sine: half-waves across the surface, back and forth.
class KVornSaver;

struct SineValues {
    float sineAngle = 0;
    float sineAngleStep = 0;
    float sineDirection = 0;
    float sineHalfWaves = 0;
    // Measured on the run's first step and kept until the surface changes
    // size; start does not touch them.
    bool sineReady = false;
    int sineSweepWidth = 0;
    int sineSweepHeight = 0;
};

void StartHorizontalSine(KVornSaver& saver);
void StepHorizontalSine(KVornSaver& saver);
