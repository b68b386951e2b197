#pragma once
// The manifest makes the process per-monitor aware, so the full-screen window
// is measured and drawn in physical pixels. Windows made for another program's
// window, or laid out by the dialog manager, may need another awareness on
// their thread. These set it where the system can (Windows 10 1607 and later)
// and do nothing elsewhere.
#include <windows.h>

// The thread takes this window's awareness, so that its client area and a
// child made to fill it are measured alike.
void UseAwarenessOf(HWND window);

// Per-monitor v2 where the system has it, so the dialog manager lays dialogs
// out again for each monitor; else system aware, so that a dialog laid out
// for the primary display is scaled by the system on the others.
void UseDialogAwareness();
