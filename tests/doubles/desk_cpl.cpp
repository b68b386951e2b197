// Test double for the platform's DESK.CPL: logs each call of the entry that
// right-click "Install" on a saver runs through rundll32, with the width of
// the process that made it (a 32-bit rundll32 cannot load a 64-bit double).
//   install.log  "<bits>-bit InstallScreenSaver <command line>" per call
#include "double_log.h"

namespace {
HMODULE self = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

// rundll32 calls the W form of an entry, when there is one, with the rest of
// its command line.
extern "C" void CALLBACK InstallScreenSaverW(HWND, HINSTANCE, LPWSTR commandLine, int) {
    char path[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, path, sizeof(path) - 1, nullptr, nullptr);
    char line[sizeof(path) + 64];
    snprintf(line, sizeof(line), "%d-bit InstallScreenSaver %s",
             static_cast<int>(8 * sizeof(void*)), path);
    AppendLine(self, L"install.log", line);
}
