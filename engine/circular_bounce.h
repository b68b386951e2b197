#pragma once
// Circular Bounce: a circle whose radius pulses.
class KVornSaver;

struct CircleValues {
    float circleAngle = 0;
    float circleAngleStep = 0;
    float pulsePhase = 0;
    float circleBaseRadius = 0;
    float pulseStep = 0;
    float pulseAmplitude = 0;
};

void StartCircularBounce(KVornSaver& saver);
void StepCircularBounce(KVornSaver& saver);

// The pulse's amplitude and phase step from their draws.
float PulseAmplitudeFor(int draw, int height);
float PulseStepFor(int draw);
