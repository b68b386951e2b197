#include "engine/vorn_saver.h"

#include <cstdlib>
#include <cwchar>
#include <ctime>

#include "engine/motions.h"
#include "engine/stamp.h"
#include "platform/saver_contract.h"
#include "settings/settings.h"

KVornSaver Saver;

namespace {

long long ReadCalendarClock() {
    return _time64(nullptr);
}

std::wstring Widen(const char* narrow) {
    return std::wstring(narrow, narrow + strlen(narrow));
}

void MakeMotionNames(KVornSaver& saver) {
    for (int i = 0; i < kMotionCount; ++i)
        saver.motionNames[i] = Widen(kMotionRows[i].name);
    saver.motionNames[kMotionCount] = Widen(kRandomMotionName);
}

void DrawOverlayLine(KVornSaver& saver, int top) {
    RECT line;
    SetRect(&line, 0, top, 80, top + 20);
    DrawTextW(saver.windowDc, saver.overlayText, -1, &line, 0);
}

// Frame count since the last new second, then the running time.
void DrawOverlay(KVornSaver& saver) {
    wchar_t* text = saver.overlayText;
    FrameCycleState& cycle = saver.frameCycle;
    _snwprintf(text, 160, L"FPS: %d", cycle.framesThisSecond);
    text[159] = 0;
    DrawOverlayLine(saver, 0);
    __time64_t shown = cycle.secondsShown;
    cycle.secondsShown += 1;
    text[0] = 0;
    if (const tm* parts = _gmtime64(&shown)) wcsftime(text, 160, L"%H:%M:%S", parts);
    DrawOverlayLine(saver, 20);
}

void StartPhase(KVornSaver& saver) {
    ClearSurface(saver);
    if (saver.pendingInit == 1) saver.algorithmIndex = rand() % kMotionCount;
    if (SurfaceCanStamp(saver)) saver.motionTable[saver.algorithmIndex].init(saver);
    saver.pendingInit = 0;
    saver.phaseStart = saver.frameCycle.lastSecond = engineClock();
}

// What depends on the window and its display: the window's DC with the
// overlay font, the surface (made and cleared) and the geometry derived from
// the client size.
void FitToWindow(KVornSaver& saver, HWND window) {
    GetClientRect(window, &saver.clientRect);
    saver.windowDc = GetDC(window);
    saver.width = saver.clientRect.right;
    saver.height = saver.clientRect.bottom;
    HFONT overlayFont = CreateFontW(-10, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, 0,
                                    0, 0, 0, L"Arial");
    SelectObject(saver.windowDc, overlayFont);
    SetTextColor(saver.windowDc, RGB(255, 255, 255));
    SetBkColor(saver.windowDc, RGB(0, 0, 0));
    saver.surface.CreateRgb24(saver.width, saver.height);
    ClearSurface(saver);
    saver.intensity = IntensityFor(saver.height);
    saver.spotSize = SpotSizeFor(saver.height);
    saver.centerX = saver.width / 2;
    saver.centerY = saver.height / 2;
}

// Gives back what FitToWindow took, and the memory DCs made for the old display.
void ReleaseWindow(KVornSaver& saver, HWND window) {
    saver.surface.FreeBitmap();
    DeleteObject(SelectObject(saver.windowDc, GetStockObject(SYSTEM_FONT))); // the overlay's
    ReleaseDC(window, saver.windowDc);
    saver.windowDc = nullptr;
    memoryDcCache.Empty();
}

// The client size changed: the picture starts again at the new size, with
// the settings of the run.
void RestartEngine(HWND window) {
    KVornSaver& saver = Saver;
    ReleaseWindow(saver, window);
    // The curves measure the new size on their next step; the start that
    // follows sets their other values.
    saver.sine = SineValues();
    saver.polar = PolarValues();
    FitToWindow(saver, window);
    saver.pendingInit = saver.switchKind;
}

// WM_SIZE also comes at creation with the size the engine started with, and a
// minimised window reports an empty one: neither changes the picture.
void OnSize(HWND window, WPARAM kind) {
    RECT client = {};
    GetClientRect(window, &client);
    if (kind == SIZE_MINIMIZED || EqualRect(&client, &Saver.clientRect)) return;
    RestartEngine(window);
}

} // namespace

EngineClock engineClock = ReadCalendarClock;
EngineSettingsLoader engineSettingsLoader = LoadSettings;

void ResetSaver() {
    Saver.surface.FreeBitmap(); // the assignment would drop it undeleted
    Saver = KVornSaver();
}

void StartEngine(HWND window) {
    KVornSaver& saver = Saver;
    srand(static_cast<unsigned>(engineClock()));
    FitToWindow(saver, window);
    MakeMotionNames(saver);
    saver.phaseStart = engineClock();
    for (int i = 0; i < kMotionCount; ++i) {
        saver.motionTable[i].name = saver.motionNames[i];
        saver.motionTable[i].init = kMotionRows[i].init;
        saver.motionTable[i].step = kMotionRows[i].step;
    }
    engineSettingsLoader();
    saver.showtimeSeconds = Settings.Showtime;
    // A stored value that names no row runs as the random choice, whose
    // first frame draws the row.
    saver.algorithmIndex = RowOfAlgorithm(Settings.Algorithm);
    saver.switchKind = saver.pendingInit = saver.algorithmIndex == kNoRow ? 1 : 2;
}

void RunFrame() {
    KVornSaver& saver = Saver;
    FrameCycleState& cycle = saver.frameCycle;
    const long long now = engineClock();
    if (!Settings.Infinity && now - saver.phaseStart > saver.showtimeSeconds)
        saver.pendingInit = saver.switchKind;
    if (!cycle.earlyReinitDone && cycle.framesThisSecond == 1) {
        saver.pendingInit = saver.switchKind;
        cycle.earlyReinitDone = 1;
    }
    cycle.framesThisSecond += 1;
    if (now - cycle.lastSecond > 0) {
        if (Settings.FPS) DrawOverlay(saver);
        cycle.framesThisSecond = 0;
        cycle.lastSecond = now;
    }
    if (saver.pendingInit) StartPhase(saver);
    if (SurfaceCanStamp(saver)) saver.motionTable[saver.algorithmIndex].step(saver);
}

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: StartEngine(window); return 0;
    case WM_PAINT:
        RunFrame();
        if (Settings.Speed > 0) Sleep(static_cast<DWORD>(Settings.Speed));
        return 0;
    case WM_SIZE: OnSize(window, wParam); return DefaultSaverProc(window, message, wParam, lParam);
    case WM_DESTROY: return 0;
    case WM_ERASEBKGND: RepaintUncovered(Saver, reinterpret_cast<HDC>(wParam)); return 1;
    default: return DefaultSaverProc(window, message, wParam, lParam);
    }
}
