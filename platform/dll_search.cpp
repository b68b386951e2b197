#include "platform/dll_search.h"

#include "platform/look_up.h"

namespace {

const wchar_t* const kPreloadedDlls[] = {L"uxtheme.dll", L"dwmapi.dll", L"version.dll",
                                         L"cryptbase.dll"};

// Vista has SetDefaultDllDirectories with the same update as 7, but later
// shell calls of a process were seen to fail there with it in force; Vista
// takes the other route.
bool TrustsDefaultDirectories(const DllSearchPlatform& platform) {
    const bool vista = platform.majorVersion == 6 && platform.minorVersion == 0;
    return platform.setDefaultDllDirectories && !vista;
}

// "<system folder>\<name>" into path; false when it does not fit.
bool SystemPath(const DllSearchPlatform& platform, const wchar_t* name, wchar_t (&path)[MAX_PATH]) {
    UINT nameLength = 0;
    while (name[nameLength])
        ++nameLength;
    UINT length = platform.systemDirectory(path, MAX_PATH);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return false;
    path[length++] = L'\\';
    for (UINT i = 0; i <= nameLength; ++i)
        path[length + i] = name[i];
    return true;
}

} // namespace

DllSearchPlatform RunningDllSearchPlatform() {
    HMODULE kernel = GetModuleHandleW(L"KERNEL32.DLL");
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    return {version.dwMajorVersion,
            version.dwMinorVersion,
            LookUp<SetDefaultDllDirectoriesProc>(kernel, "SetDefaultDllDirectories"),
            LookUp<SetDllDirectoryProc>(kernel, "SetDllDirectoryW"),
            GetSystemDirectoryW,
            LoadLibraryExW};
}

void RestrictDllSearch(const DllSearchPlatform& platform) {
    // Not LOAD_LIBRARY_SEARCH_DEFAULT_DIRS: it keeps the program's folder.
    if (TrustsDefaultDirectories(platform) &&
        platform.setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    if (platform.setDllDirectory) platform.setDllDirectory(L"");
    for (const wchar_t* name : kPreloadedDlls)
        LoadSystemLibrary(platform, name); // kept for the life of the process
}

// LOAD_WITH_ALTERED_SEARCH_PATH: where the search is not restricted, the
// library's own imports would otherwise be looked for in the program's folder.
HMODULE LoadSystemLibrary(const DllSearchPlatform& platform, const wchar_t* name) {
    wchar_t path[MAX_PATH];
    if (!SystemPath(platform, name, path)) return nullptr;
    return platform.loadLibrary(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    return LoadSystemLibrary(RunningDllSearchPlatform(), name);
}
