#pragma once
// Where the process finds the DLLs that it, or the system libraries inside it,
// load by name. Windows looks in the program's own folder first, and the saver
// is often run from the folder it was extracted to (Downloads, say): a DLL
// planted there would run inside the saver. Runs before the C runtime starts
// and, in the 32-bit build, before the processor check has passed: built with
// general registers only (see CMakeLists.txt).
#include <windows.h>

using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD flags);
using SetDllDirectoryProc = BOOL(WINAPI*)(LPCWSTR path);
using SystemDirectoryProc = UINT(WINAPI*)(LPWSTR buffer, UINT size);
using LoadLibraryExProc = HMODULE(WINAPI*)(LPCWSTR file, HANDLE reserved, DWORD flags);

// What the platform offers; tests put their own answers in its place.
struct DllSearchPlatform {
    DWORD majorVersion, minorVersion;
    // Windows 8 and later, 7 and Vista with KB2533623; null elsewhere.
    SetDefaultDllDirectoriesProc setDefaultDllDirectories;
    SetDllDirectoryProc setDllDirectory; // XP SP1 and later; null before
    SystemDirectoryProc systemDirectory;
    LoadLibraryExProc loadLibrary;
};

DllSearchPlatform RunningDllSearchPlatform();

// Restricts loads by name to the system folder where Windows can
// (SetDefaultDllDirectories; not on Vista). Elsewhere, or where that fails,
// takes the current folder out of the search and loads from the system
// folder the libraries that window creation, theming and the system's
// libraries load by name and that are not KnownDLLs, so that later loads by
// name find them already loaded.
void RestrictDllSearch(const DllSearchPlatform& platform);

// `name` loaded from the system folder by its full path, its own imports
// looked for beside it first; null when it is not there.
HMODULE LoadSystemLibrary(const DllSearchPlatform& platform, const wchar_t* name);
HMODULE LoadSystemLibrary(const wchar_t* name);
