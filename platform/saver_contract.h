#pragma once
// Both sides of the screen saver's contract. The saver supplies its picture's
// window procedure and its settings dialog; the host supplies the process
// around them: what every saver window does by default, and the module that
// holds the resources. Each side reaches the other only through these, so
// neither includes the other's headers: the host is built on top of the saver,
// and the saver's calls down the message chain are resolved when the program
// is linked.
#include <windows.h>

// Supplied by the saver (engine/, dialog/).
LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Registers what the settings dialog needs before it is made; 0 when it cannot.
int DialogClassHook(HINSTANCE moduleInstance);

// Supplied by the host (host/).
LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The module whose resources the windows and dialogs load.
HINSTANCE SaverModule();
