// Stand-in until legacy password protection lands: never armed.
#include "host/password.h"

#include "host/host_state.h"

void MarkSaverRunning(bool) {}
void ArmPasswordProtection() {}
void DisarmPasswordProtection() {}

int ConfirmClose(HWND) {
    HostState.closeApproved = true;
    return 1;
}

void ChangeSaverPassword(HWND) {}
