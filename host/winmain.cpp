// Process entry. Until the real host lands: "/c" (any form) and an empty
// command line open the settings dialog and exit with its result; anything
// else shows the engine in a plain full-screen window.
#include <windows.h>

#include <commctrl.h>

#include "engine/vorn_saver.h"
#include "host/host_state.h"
#include "settings/dialog.h"

namespace {

bool AsksForSettings(const char* tail) {
    while (*tail == ' ' || *tail == '-' || *tail == '/')
        ++tail;
    return *tail == '\0' || *tail == 'c' || *tail == 'C';
}

int RunFullScreen(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = SaverProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VornEngineWindow";
    RegisterClassW(&windowClass);
    CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Vorn", WS_POPUP | WS_VISIBLE, 0, 0,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                    instance, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    HostState.moduleInstance = instance;
    if (!AsksForSettings(commandTail)) return RunFullScreen(instance);
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(kSettingsDialogId), nullptr,
                                     SettingsDialogProc, 0);
    ExitProcess(static_cast<UINT>(result));
}
