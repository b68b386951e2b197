// vorn-soak: runs the full-screen saver through the same entry as
// "Vorn.scr /s" and, between its messages, prints how many GDI objects the
// process holds:
//
//   vorn-soak [seconds between samples, default 10]
//       prints "gdi <seconds since start> <objects> <frames so far>" lines,
//       then "exit <code>"; its exit code is the saver's.
//
// Under Wine GetGuiResources always answers 0, so the objects are counted
// slot by slot (tools/gdi_objects.h). The count is taken on the saver's own
// thread, from a message hook, so it never falls inside a frame and never sees a
// frame's short-lived brush. At start the probe must see a brush come and go,
// or the program says so and ends with 2.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "host/entry.h"
#include "tools/gdi_objects.h"

namespace {

DWORD startTick = 0;
DWORD sampleEveryMs = 10000;
DWORD nextSample = 0;
unsigned long long frames = 0; // paint messages, one frame each

bool ProbeSeesABrush() {
    const int before = LiveGdiObjects();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const int with = LiveGdiObjects();
    DeleteObject(brush);
    return with == before + 1 && LiveGdiObjects() == before;
}

LRESULT CALLBACK SampleBetweenMessages(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION || wParam != PM_REMOVE)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    if (reinterpret_cast<const MSG*>(lParam)->message == WM_PAINT) ++frames;
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(now - nextSample) >= 0) {
        nextSample = now + sampleEveryMs;
        printf("gdi %lu %d %llu\n", (now - startTick) / 1000, LiveGdiObjects(), frames);
        fflush(stdout);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) sampleEveryMs = static_cast<DWORD>(atoi(argv[1])) * 1000;
    if (!ProbeSeesABrush()) {
        printf("the GDI probe does not see objects come and go here\n");
        return 2;
    }
    startTick = nextSample = GetTickCount();
    SetWindowsHookExW(WH_GETMESSAGE, SampleBetweenMessages, nullptr, GetCurrentThreadId());
    const int code = HostEntry(GetModuleHandleW(nullptr), L"/s");
    printf("exit %d\n", code);
    return code;
}
