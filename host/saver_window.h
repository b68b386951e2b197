#pragma once
// The saver's one window and the thread's message loop.
#include <windows.h>

constexpr wchar_t kSaverClassName[] = L"WindowsScreenSaverClass";
constexpr wchar_t kSaverTitle[] = L"Screen Saver";
constexpr wchar_t kPreviewTitle[] = L"Preview";

// Preview in the parent's client area when a parent is given, else full
// screen. Returns the exit code: the last message's wParam, or -1 when the
// window could not be made.
int RunSaverWindow(HWND parent);

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
