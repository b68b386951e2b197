#pragma once
// Password protection on the Windows 95/98/Me family; inactive elsewhere.
#include <windows.h>

constexpr UINT kVerifyRequest = WM_APP; // sent to the saver window to run the check
constexpr DWORD kVerifyInterval = 200;  // ms between one verification and the next
constexpr DWORD kNoVerification = 0xFFFFFFFF;

// Whether a close asked for at tick `now` comes too soon after the last
// verification ended (tick arithmetic wraps every 49.7 days).
bool VerifyThrottled(DWORD now, DWORD lastVerifyTick);

void MarkSaverRunning(bool on);
void ArmPasswordProtection();
void DisarmPasswordProtection();
int ConfirmClose(HWND window); // nonzero allows the close
void ChangeSaverPassword(HWND parent);
