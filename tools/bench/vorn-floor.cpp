// vorn-floor: the least a paint-driven saver can cost, for scripts/bench.sh
// to measure Vorn.scr against. A full-screen window of the saver's class name,
// class styles and window styles, with a 24-bit surface of the window's size
// in a memory DC that stays selected, filled and shown whole once; then each
// WM_PAINT, never validated, copies one 16 x 16 square of it to the window
// and sleeps.
//
//   vorn-floor.exe [SLEEP_MS|default [WARMUP_S MEASURE_S [calls]]]
//
// "default" (or nothing) sleeps the saver's default Speed. With the two times it
// counts its paints (tools/bench/paint_meter.h). With "calls", each frame also makes
// the calls that the saver's frame cycle requires beyond these: the calendar
// time read once, and the surface selected into its memory DC for the copy
// and out again. It runs until it is closed or killed.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "settings/settings.h"
#include "tools/bench/bare_surface.h"
#include "tools/bench/paint_meter.h"

namespace {

BareSurface surface;
bool saverCalls = false;
HDC windowDc = nullptr; // the class's own DC, kept for the run as the saver keeps it
int surfaceWidth = 0;
DWORD sleepMs = 0;
PaintMeter meter;

// The square walks along the diagonal so that a different part of the
// screen changes every frame, as the saver's spot does.
void PaintSquare() {
    static int step = 0;
    const int at = (step++ * 4) % (surfaceWidth > 16 ? surfaceWidth - 16 : 1);
    if (saverCalls) {
        _time64(nullptr);
        SelectObject(surface.dc, surface.bitmap);
    }
    StretchBlt(windowDc, at, at / 2, 16, 16, surface.dc, at, at / 2, 16, 16, SRCCOPY);
    if (saverCalls) SelectObject(surface.dc, surface.saved);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        meter.Count();
        PaintSquare();
        if (sleepMs) Sleep(sleepMs);
        return 0;
    case WM_CREATE: windowDc = GetDC(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    double warmup = 0, measure = 0;
    char sleep[16] = {}, calls[8] = {};
    sscanf(commandLine, "%15s %lf %lf %7s", sleep, &warmup, &measure, calls);
    saverCalls = strcmp(calls, "calls") == 0;
    sleepMs = static_cast<DWORD>(
        isdigit(static_cast<unsigned char>(sleep[0])) ? atoi(sleep) : SettingsRecord().Speed);
    meter.Arm(warmup, measure);

    WNDCLASSW floorClass = {};
    floorClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    floorClass.lpfnWndProc = FloorProc;
    floorClass.hInstance = instance;
    floorClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    floorClass.lpszClassName = L"WindowsScreenSaverClass";
    RegisterClassW(&floorClass);
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);

    surface.Create(width, height);
    surfaceWidth = width;

    HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, floorClass.lpszClassName, L"Screen Saver",
                        WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, width,
                        height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    // Any saver shows its whole picture at least once, to cover the screen.
    RECT all = {0, 0, width, height};
    FillRect(surface.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    StretchBlt(windowDc, 0, 0, width, height, surface.dc, 0, 0, width, height, SRCCOPY);
    SetForegroundWindow(window);
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
