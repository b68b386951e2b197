// Password protection on the Windows 95/98/Me family. The platform's own
// components show the dialogs and do all verifying; nothing here acts on any
// other platform.
#include "host/password.h"

#include "platform/dll_search.h"
#include "host/host_state.h"
#include "platform/look_up.h"

namespace {

constexpr UINT kScreenSaverRunning = 97; // SPI_SCREENSAVERRUNNING
using PwdChangePasswordProc = DWORD(WINAPI*)(LPCWSTR, HWND, DWORD, DWORD);

bool PasswordRequested(HKEY desktop) {
    DWORD use = 0;
    DWORD size = sizeof(use);
    LONG status = RegQueryValueExW(desktop, L"ScreenSaveUsePassword", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&use), &size);
    return status == ERROR_SUCCESS && use != 0;
}

void LoadPasswordCheck() {
    HostState.passwordModule = LoadSystemLibrary(L"PASSWORD.CPL");
    if (!HostState.passwordModule) return;
    HostState.verifyEntry =
        LookUp<VerifyScreenSavePwdProc>(HostState.passwordModule, "VerifyScreenSavePwd");
    if (HostState.verifyEntry)
        MarkSaverRunning(true);
    else
        DisarmPasswordProtection();
}

// Drops up to two queued timer messages so a verification does not start
// with stale work behind it.
void DropPendingTimers(HWND window) {
    MSG message;
    for (int i = 0; i < 2; ++i)
        PeekMessageW(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

} // namespace

bool VerifyThrottled(DWORD now, DWORD lastVerifyTick) {
    return lastVerifyTick != kNoVerification && now - lastVerifyTick < kVerifyInterval;
}

void MarkSaverRunning(bool on) {
    if (!HostState.legacyPlatform) return;
    UINT previous = 0;
    SystemParametersInfoW(kScreenSaverRunning, on ? 1 : 0, &previous, 0);
}

void ArmPasswordProtection() {
    if (!HostState.legacyPlatform) return;
    if (HostState.passwordModule) DisarmPasswordProtection();
    HKEY desktop = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop) !=
        ERROR_SUCCESS)
        return;
    if (PasswordRequested(desktop)) LoadPasswordCheck();
    RegCloseKey(desktop);
}

void DisarmPasswordProtection() {
    if (!HostState.legacyPlatform || !HostState.passwordModule) return;
    FreeLibrary(HostState.passwordModule);
    HostState.passwordModule = nullptr;
    if (HostState.verifyEntry) {
        HostState.verifyEntry = nullptr;
        MarkSaverRunning(false);
    }
}

int ConfirmClose(HWND window) {
    if (HostState.verifyInProgress) return 0; // the password dialog is already up
    if (!HostState.verifyEntry) {
        HostState.closeApproved = true;
        return 1;
    }
    if (VerifyThrottled(GetTickCount(), HostState.lastVerifyTick)) return 0;
    HostState.verifyInProgress = true;
    DropPendingTimers(window);
    LRESULT allowed = SendMessageW(window, kVerifyRequest, 0, 0);
    HostState.closeApproved = allowed != 0;
    HostState.verifyInProgress = false;
    if (!allowed) SetCursor(nullptr);
    HostState.lastVerifyTick = GetTickCount();
    return HostState.closeApproved ? 1 : 0;
}

void ChangeSaverPassword(HWND parent) {
    HMODULE mpr = LoadSystemLibrary(L"MPR.DLL");
    if (!mpr) return;
    auto change = LookUp<PwdChangePasswordProc>(mpr, "PwdChangePasswordW");
    if (change) change(L"SCRSAVE", parent, 0, 0);
    FreeLibrary(mpr);
}
