// Test double for the platform's DESK.CPL: logs each call of the entry that
// right-click "Install" on a saver runs through rundll32, with the width of
// the process that made it (a 32-bit rundll32 cannot load a 64-bit double)
// and the program that started that process (the shell, or a setup).
//   install.log  "<bits>-bit InstallScreenSaver <command line> from <program>"
#include "double_log.h"

#include <tlhelp32.h>

namespace {
HMODULE self = nullptr;

// The file name of the program that started this process, or "?".
std::string ParentName() {
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    char name[MAX_PATH * 3] = "?";
    for (BOOL more = Process32FirstW(all, &entry); more; more = Process32NextW(all, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    for (BOOL more = Process32FirstW(all, &entry); more && parent;
         more = Process32NextW(all, &entry))
        if (entry.th32ProcessID == parent)
            WideCharToMultiByte(CP_UTF8, 0, entry.szExeFile, -1, name, sizeof(name), nullptr,
                                nullptr);
    CloseHandle(all);
    return name;
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

// rundll32 calls the W form of an entry, when there is one, with the rest of
// its command line.
extern "C" void CALLBACK InstallScreenSaverW(HWND, HINSTANCE, LPWSTR commandLine, int) {
    char path[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, path, sizeof(path) - 1, nullptr, nullptr);
    char line[sizeof(path) + MAX_PATH + 64];
    snprintf(line, sizeof(line), "%d-bit InstallScreenSaver %s from %s",
             static_cast<int>(8 * sizeof(void*)), path, ParentName().c_str());
    AppendLine(self, L"install.log", line);
}
