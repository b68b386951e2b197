#pragma once
// Password protection on the Windows 95/98/Me family; inactive elsewhere.
#include <windows.h>

void MarkSaverRunning(bool on);
void ArmPasswordProtection();
void DisarmPasswordProtection();
int ConfirmClose(HWND window);  // nonzero allows the close
void ChangeSaverPassword(HWND parent);
