// A DLL planted beside a copy of the saver under the name of a system
// library. It exports nothing; loading it leaves "<its file name>.loaded"
// beside it. The tests copy it under every name they plant.
#include "double_log.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring marker(path);
    marker = marker.substr(marker.find_last_of(L"\\/") + 1) + L".loaded";
    AppendLine(self, marker.c_str(), "loaded");
    return TRUE;
}
