#include "support/registry_doubles.h"

std::vector<std::wstring> registryCalls;
std::vector<std::wstring> refusedWrites;

LONG WINAPI RecordRead(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                       LPDWORD size) {
    registryCalls.push_back(L"read " + std::wstring(name));
    return RegQueryValueExW(key, name, reserved, type, data, size);
}

LONG WINAPI RecordWrite(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD size) {
    registryCalls.push_back(L"write " + std::wstring(name));
    for (const std::wstring& refused : refusedWrites)
        if (refused == name) return ERROR_ACCESS_DENIED;
    return RegSetValueExW(key, name, reserved, type, data, size);
}

LONG WINAPI NoKey(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY,
                  LPDWORD) {
    return ERROR_ACCESS_DENIED;
}
