#pragma once
// Polar Coordinates: a rose that turns a little with every round.
class KVornSaver;

struct PolarValues {
    float polarTheta = 0;
    float polarRadius = 0;
    float polarThetaStep = 0;
    float polarRotation = 0;
    float polarDivisor = 0;
    // Measured on the run's first step and kept until the surface changes
    // size; start does not touch them.
    bool polarReady = false;
    float polarScale = 0;
};

void StartPolarCoordinates(KVornSaver& saver);
void StepPolarCoordinates(KVornSaver& saver);
