// Test double for the platform's PASSWORD.CPL: answers VerifyScreenSavePwd
// as the test says and logs every load and call.
//   verify-answer.txt  "0" refuse, "1" allow (default 0)
//   verify-mode.txt    "post-close": post WM_CLOSE to the owner and pump its
//                      messages before answering; "send-close": send it
//   verify.log         one line per event
#include "double_log.h"

namespace {
HMODULE self = nullptr;
const wchar_t kLog[] = L"verify.log";

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG message;
    // Like a dialog's loop: the saver's paint messages never stop coming, so
    // the time is checked after every message.
    while (GetTickCount() - start < milliseconds) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            Sleep(5);
        }
    }
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        AppendLine(self, kLog, "loaded");
    }
    return TRUE;
}

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    char line[128];
    snprintf(line, sizeof(line), "verify owner=%s tick=%lu", IsWindow(owner) ? "window" : "none",
             GetTickCount());
    AppendLine(self, kLog, line);
    const std::string mode = ReadWord(self, L"verify-mode.txt", "plain");
    if (mode == "post-close") {
        PostMessageW(owner, WM_CLOSE, 0, 0);
        PumpFor(300);
        AppendLine(self, kLog, IsWindow(owner) ? "nested-close window-alive" : "nested-close gone");
    } else if (mode == "send-close") {
        LRESULT result = SendMessageW(owner, WM_CLOSE, 0, 0);
        snprintf(line, sizeof(line), "nested-close result=%ld %s", static_cast<long>(result),
                 IsWindow(owner) ? "window-alive" : "gone");
        AppendLine(self, kLog, line);
    }
    const bool allow = ReadWord(self, L"verify-answer.txt", "0") == "1";
    AppendLine(self, kLog, allow ? "answer 1" : "answer 0");
    return allow ? TRUE : FALSE;
}
