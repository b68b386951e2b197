// vorn-bench: prints what a frame and a stamp cost on this machine, per
// motion and stamp shape, and whether GDI objects grow while it runs. It
// measures and prints; it never fails on a slow machine. It runs the real
// engine on a hidden window, so it loads (and on a first run stores) the
// settings of the prefix it runs in.
#include <windows.h>

#include <cstdio>

#include "engine/motions.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"
#include "settings/settings.h"

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND MakeWindow(int width, int height) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VornBench";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, width, height,
                           nullptr, nullptr, windowClass.hInstance, nullptr);
}

// Average microseconds of one frame of the given row.
double TimeFrames(int row, int frames) {
    Saver.algorithmIndex = row;
    Saver.pendingInit = 0;
    Saver.motionTable[row].init(Saver);
    const double start = Seconds();
    for (int i = 0; i < frames; ++i)
        RunFrame();
    return (Seconds() - start) * 1e6 / frames;
}

} // namespace

int main(int argc, char** argv) {
    const int width = argc > 1 ? atoi(argv[1]) : 1920;
    const int height = argc > 2 ? atoi(argv[2]) : 1080;
    const int frames = 20000;
    HWND window = MakeWindow(width, height);
    StartEngine(window);
    RunFrame(); // the first phase
    Settings.Infinity = 1;
    Settings.FPS = 0;
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

    printf("vorn-bench %dx%d, spot %d, %d frames per figure (microseconds per frame)\n", width,
           height, Saver.spotSize, frames);
    printf("%-22s %10s %10s\n", "motion", "square", "round");
    for (int row = 0; row < kMotionCount; ++row) {
        Settings.Round = 0;
        const double square = TimeFrames(row, frames);
        Settings.Round = 1;
        const double round = TimeFrames(row, frames);
        printf("%-22s %10.2f %10.2f\n", kMotionRows[row].name, square, round);
    }

    const double start = Seconds();
    for (int i = 0; i < 1000; ++i)
        ClearSurface(Saver);
    printf("ClearSurface: %.1f microseconds\n", (Seconds() - start) * 1e6 / 1000);

    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    printf("GDI objects: %lu before, %lu after\n", static_cast<unsigned long>(gdiBefore),
           static_cast<unsigned long>(gdiAfter));
    DestroyWindow(window);
    return 0;
}
