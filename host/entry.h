#pragma once
// Process entry: the command line, the start-up steps shared by every mode,
// the dispatch to exactly one action, and the exit code.
#include <windows.h>

// The command line without the program name and the blanks after it.
const wchar_t* CommandTail(const wchar_t* commandLine);

// Leading decimal digits as a window number, wrapping modulo 2^32.
DWORD ParseWindowNumber(const wchar_t* text);

int OpenSettingsDialog(HWND parent); // 1 OK, 0 Cancel, -1 no dialog

enum class HostAction { None, SettingsDialog, FullScreen, Preview, ChangePassword };

struct HostCommand {
    HostAction action;
    HWND window; // the preview pane, or the dialog's parent
};

// What the tail asks for. Only the first significant character decides.
HostCommand ReadCommand(const wchar_t* commandTail);

// Runs the command; its exit code, -1 when no action ran.
int RunCommand(const HostCommand& command);
int DispatchCommand(const wchar_t* commandTail);

// Runs the action; a fault that escapes it on this thread and that the
// platform's filter elects to handle clears the running mark and gives -1.
// Before the platform sees a fault, the full-screen window is hidden and the
// cursor shown. Faults on other threads get the filter that was there before.
int GuardFaults(int (*action)(const wchar_t*), const wchar_t* argument);

// The platform's verdict on an escaped fault; tests put their own in its place.
extern LPTOP_LEVEL_EXCEPTION_FILTER faultVerdict;

int HostEntry(HINSTANCE moduleInstance, const wchar_t* commandTail);
