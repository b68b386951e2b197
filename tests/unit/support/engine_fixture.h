#pragma once
// Real windows and a clean engine for component tests.
#include <windows.h>

#include "engine/vorn_saver.h"
#include "settings/settings.h"

// A hidden top-level window with exactly this client size (own DC, plain
// default procedure), on the virtual display the tests run on.
HWND MakeTestWindow(int width, int height);

// Geometry of a client area as StartEngine derives it, without a window.
void ShapeSaver(KVornSaver& saver, int width, int height);

// Registers a window class of this program (again is harmless).
void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, UINT style = 0);

// A hidden pop-up of a class with this procedure, registered on first use.
HWND MakeHiddenWindow(WNDPROC procedure, const wchar_t* className, int width = 10, int height = 10,
                      UINT classStyle = 0);

// Back to the state of a fresh process: engine and settings.
void ResetEngine();

// Removes the settings key, so the next load is a first run.
void DeleteSettingsKey();

// Stores these settings under the key, as a previous dialog would have.
void StoreSettings(const SettingsRecord& record);

// Window size, settings stored, engine started on a new window.
HWND StartEngineOn(int width, int height, const SettingsRecord& record = SettingsRecord());

// Drains the window's pending messages without painting.
void PumpMessages();
