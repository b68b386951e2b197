// Test double for the platform's MPR.DLL: records the arguments of
// PwdChangePasswordW in mpr.log beside itself.
#include "double_log.h"

namespace {
HMODULE self = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

extern "C" DWORD WINAPI PwdChangePasswordW(LPCWSTR provider, HWND parent, DWORD a, DWORD b) {
    char line[256];
    char name[64] = {};
    WideCharToMultiByte(CP_UTF8, 0, provider ? provider : L"(null)", -1, name, sizeof(name),
                        nullptr, nullptr);
    snprintf(line, sizeof(line), "PwdChangePasswordW provider=%s parent=%lu a=%lu b=%lu", name,
             static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)),
             static_cast<unsigned long>(a), static_cast<unsigned long>(b));
    AppendLine(self, L"mpr.log", line);
    return 0;
}
