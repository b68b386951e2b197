// vorn-bench-host: the real saver ("/s" through HostEntry, with the saver's
// own resources) with its paint messages counted, for scripts/bench.sh.
//
//   vorn-bench-host.exe WARMUP_S MEASURE_S
//
// Counts the saver's paints (tools/bench/paint_meter.h) and runs until it is closed
// or killed. The count sits in a subclass put in front of the saver's window
// procedure while the window is being created, by a hook that then removes
// itself: under Wine a message hook left in place costs time on every
// message (it halves the floor program's frames a second at Speed 0), a
// subclass one call.
#include <windows.h>

#include <cstdio>

#include "host/entry.h"
#include "host/saver_window.h"
#include "tools/bench/paint_meter.h"

namespace {

PaintMeter meter;
WNDPROC saverProc = nullptr;
HHOOK creationHook = nullptr;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) meter.Count();
    return CallWindowProcW(saverProc, window, message, wParam, lParam);
}

// Runs before the window's first message.
LRESULT CALLBACK OnCreation(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t name[64] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(window, name, 64) &&
        lstrcmpW(name, kSaverClassName) == 0) {
        saverProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
        UnhookWindowsHookEx(creationHook);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    double warmup = 1, measure = 5;
    sscanf(commandLine, "%lf %lf", &warmup, &measure);
    meter.Arm(warmup, measure);
    creationHook = SetWindowsHookExW(WH_CBT, OnCreation, nullptr, GetCurrentThreadId());
    return HostEntry(instance, L"/s");
}
