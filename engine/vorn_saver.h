#pragma once
// The engine object, its motion table and the frame cycle.
#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/image.h"
#include "engine/motions.h"
#include "platform/saver_contract.h"

struct MotionEntry {
    std::wstring name;
    MotionOp init = nullptr;
    MotionOp step = nullptr;
};

// State of RunFrame between frames.
struct FrameCycleState {
    int framesThisSecond = 0;
    long long lastSecond = 0;
    int secondsShown = 0;
    int earlyReinitDone = 0;
};

// Everything the engine keeps between frames.
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
    int spotSize = 0;
    int centerX = 0;
    int centerY = 0;
    int algorithmIndex = 0; // row of motionTable; kNoRow until a random phase draws one
    int pendingInit = 0;    // 0 none, 1 random motion, 2 current motion
    int switchKind = 0;
    long long showtimeSeconds = 0;
    long long phaseStart = 0;
    MotionEntry motionTable[kMotionCount];
    LinearValues linear;
    SineValues sine;
    CircleValues circle;
    PolarValues polar;
    FrameCycleState frameCycle;
    uint32_t rainbowCounter = 0;                // stamps drawn in rainbow colours
    std::wstring motionNames[kMotionCount + 1]; // the rows' names and "Random"
    wchar_t overlayText[160] = {};
};

extern KVornSaver Saver;

// Puts Saver back as at process start, freeing the surface it held.
void ResetSaver();

// The engine's calendar clock in whole seconds, and where it takes its
// settings from (LoadSettings: the stored ones). Test programs and the render
// tool put their own in place before the engine starts.
using EngineClock = long long (*)();
extern EngineClock engineClock;
using EngineSettingsLoader = void (*)();
extern EngineSettingsLoader engineSettingsLoader;

// Derived geometry.
inline int SpotSizeFor(int height) {
    return height / 70 + 1;
}
inline int IntensityFor(int height) {
    return height < 400 ? 7 : 3;
}

void StartEngine(HWND window);
void RunFrame();
