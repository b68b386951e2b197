#pragma once
// The first code of the process, run before the C runtime's entry and so
// before any static constructor: the processor check and the DLL search
// restriction. The 32-bit saver is compiled for SSE2, which processors such as
// the Pentium III and Athlon XP lack, and its static constructors already use
// it: in that build this code has general registers only (see CMakeLists.txt).
#include <windows.h>

#include "platform/dll_search.h"

using ProcessorFeatureProc = BOOL(WINAPI*)(DWORD feature);
using MessageBoxProc = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// What the platform offers; tests put their own answers in its place.
struct StartPlatform {
    ProcessorFeatureProc processorFeature; // null where Windows cannot tell (Windows 95)
    MessageBoxProc showMessage;
    DllSearchPlatform dllSearch;
};

StartPlatform RunningStartPlatform();

// The exit code of a process that refused the processor: no action ran.
constexpr int kProcessorRefused = -1;

// Restricts the DLL search, then runs `runtime` (the C runtime's entry) and
// returns its result; on a processor without SSE2 shows a message box that
// names the requirement instead, and returns kProcessorRefused.
int StartProcess(const StartPlatform& platform, int (*runtime)());
