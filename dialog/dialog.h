#pragma once
// The settings dialog (template IDD_SETTINGS) and the About box (template "ABOUT").
#include <windows.h>

#include "platform/saver_contract.h"
#include "resources/dialog_ids.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Tells the user what went wrong; tests put a recording one in its place.
using SettingsMessageBox = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
extern SettingsMessageBox settingsMessageBox; // MessageBoxW

// Makes the up-down control of a number edit; tests put a failing one in its place.
using UpDownMaker = HWND(WINAPI*)(DWORD style, int x, int y, int cx, int cy, HWND parent, int id,
                                  HINSTANCE instance, HWND buddy, int upper, int lower,
                                  int position);
extern UpDownMaker upDownMaker; // CreateUpDownControl
