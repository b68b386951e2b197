#pragma once
// Default handling of the saver window's messages: when the saver closes.
#include <windows.h>

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
