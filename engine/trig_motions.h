#pragma once
// Pieces of the curve motions that tests call directly.

// Values the curve steps compute on their first call in a run and then keep.
struct TrigRunValues {
    bool sineReady = false;
    int sineSweepWidth = 0;
    int sineSweepHeight = 0;
    bool polarReady = false;
    float polarScale = 0;
};

extern TrigRunValues trigRunValues;

// Forgets them, as at process start; tests use it between surfaces.
inline void ResetTrigRunValues() {
    trigRunValues = TrigRunValues();
}

// Circular Bounce's amplitude and phase step from their draws.
float PulseAmplitudeFor(int draw, int height);
float PulseStepFor(int draw);

// Single-precision values of the angles the curves use.
constexpr float kPi = 3.1415927410125732f;
constexpr float kTwoPi = 6.2831854820251465f;
constexpr float kHalfDegree = 0.008726646192371845f;
constexpr float kOneDegree = 0.01745329238474369f;
constexpr float kFourDegrees = 0.06981316953897476f;
