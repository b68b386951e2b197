#pragma once
// The engine object, its motion table and the frame cycle.
#include <windows.h>

#include <string>

#include "engine/image.h"
#include "engine/motions.h"
#include "platform/saver_contract.h"

struct MotionEntry {
    std::wstring name;
    MotionOp init = nullptr;
    MotionOp step = nullptr;
};

class KVornSaver {
  public:
    virtual ~KVornSaver() = default;

    RECT clientRect = {};
    HDC windowDc = nullptr; // holds the overlay font
    int width = 0;
    int height = 0;
    CImage surface;
    int intensity = 0;
    int posX = 0;
    int posY = 0;
    int maxStepX = 0;
    int maxStepY = 0;
    int spotSize = 0;
    int centerX = 0;
    int centerY = 0;
    int algorithmIndex = 0; // row of motionTable; kNoRow until a random phase draws one
    int pendingInit = 0;    // 0 none, 1 random motion, 2 current motion
    int switchKind = 0;
    long long showtimeSeconds = 0;
    long long phaseStart = 0;
    MotionEntry motionTable[kMotionCount];
    int stepX = 0;
    int stepY = 0;
    float sineAngle = 0;
    float sineAngleStep = 0;
    float sineDirection = 0;
    float sineHalfWaves = 0;
    float circleAngle = 0;
    float circleAngleStep = 0;
    float pulsePhase = 0;
    float circleBaseRadius = 0;
    float pulseStep = 0;
    float pulseAmplitude = 0;
    float polarTheta = 0;
    float polarRadius = 0;
    float polarThetaStep = 0;
    float polarRotation = 0;
    float polarDivisor = 0;
};

extern KVornSaver Saver;

// State of RunFrame kept beside the engine object.
struct FrameCycleState {
    int framesThisSecond = 0;
    long long lastSecond = 0;
    int secondsShown = 0;
    int earlyReinitDone = 0;
};

extern FrameCycleState frameCycle;

// Derived geometry.
inline int SpotSizeFor(int height) {
    return height / 70 + 1;
}
inline int IntensityFor(int height) {
    return height < 400 ? 7 : 3;
}

void StartEngine(HWND window);
void RunFrame();
