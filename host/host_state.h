#pragma once
// Host-wide state shared by the entry, the saver window, the close rules and
// the legacy password protection. One record, touched only on the GUI thread.
#include <windows.h>

using ImmAssociateContextProc = HANDLE(WINAPI*)(HWND, HANDLE);
using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND);

struct HostStateRecord {
    HINSTANCE moduleInstance = nullptr;
    bool legacyPlatform = false; // the Windows 95/98/Me family
    HWND saverWindow = nullptr;
    bool previewMode = false;
    bool closeApproved = false;
    bool verifyInProgress = false;
    POINT cursorAnchor = {0, 0};
    bool anchorPending = false; // unreadable when due: the next readable position anchors
    bool cursorMayShow = true;  // a message came through since the last paint hid the cursor
    HMODULE imeModule = nullptr;
    ImmAssociateContextProc imeAssociate = nullptr;
    HANDLE savedImeContext = nullptr;
    HMODULE passwordModule = nullptr;
    VerifyScreenSavePwdProc verifyEntry = nullptr;
    DWORD lastVerifyTick = 0xFFFFFFFF; // no verification yet
};

extern HostStateRecord HostState;
