#pragma once
// The settings dialog (template 2003) and the About box (template "ABOUT").
#include <windows.h>

constexpr int kSettingsDialogId = 2003;

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
