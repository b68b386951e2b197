#pragma once
// Stand-ins for the registry calls behind the settings store's seams: they
// log each value read or written ("read Name", "write Name") and refuse the
// writes of the values named in refusedWrites, as a policy or a read-only
// profile would.
#include <windows.h>

#include <string>
#include <vector>

extern std::vector<std::wstring> registryCalls;
extern std::vector<std::wstring> refusedWrites;

LONG WINAPI RecordRead(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                       LPDWORD size);
LONG WINAPI RecordWrite(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD size);
// A key that cannot be opened or made.
LONG WINAPI NoKey(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY,
                  LPDWORD);
