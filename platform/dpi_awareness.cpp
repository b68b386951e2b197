#include "platform/dpi_awareness.h"

#include "platform/look_up.h"

namespace {

using SetThreadDpiAwarenessContextProc = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetWindowDpiAwarenessContextProc = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);

// Looked up by name: older systems lack these.
template <typename Proc> Proc User32Entry(const char* name) {
    return LookUp<Proc>(GetModuleHandleW(L"USER32.DLL"), name);
}

bool SetThreadAwareness(DPI_AWARENESS_CONTEXT context) {
    auto set = User32Entry<SetThreadDpiAwarenessContextProc>("SetThreadDpiAwarenessContext");
    return set && context && set(context);
}

} // namespace

void UseAwarenessOf(HWND window) {
    auto get = User32Entry<GetWindowDpiAwarenessContextProc>("GetWindowDpiAwarenessContext");
    if (get) SetThreadAwareness(get(window));
}

void UseDialogAwareness() {
    if (!SetThreadAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        SetThreadAwareness(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
}
