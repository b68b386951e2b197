#include "host/close_rules.h"

#include "host/host_state.h"
#include "host/password.h"

CursorReader cursorReader = GetCursorPos;

namespace {

DWORD Distance(LONG from, LONG to) {
    const DWORD difference = static_cast<DWORD>(to) - static_cast<DWORD>(from);
    return static_cast<LONG>(difference) < 0 ? 0 - difference : difference;
}

void PostClose(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam) {
    if (HostState.legacyPlatform && !ConfirmClose(window)) {
        // Refused: the mouse has to travel again before the next request.
        AnchorAtCursor();
        return 0;
    }
    return DefWindowProcW(window, WM_CLOSE, wParam, lParam);
}

// Sent from inside ConfirmClose; the platform's dialog runs in this call.
LRESULT OnVerifyRequest(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!HostState.legacyPlatform) return DefWindowProcW(window, kVerifyRequest, wParam, lParam);
    return HostState.verifyEntry ? HostState.verifyEntry(window) : 1;
}

// The message's own coordinates are client-relative; travel is measured on the
// screen. The read fails while another desktop takes the input: no travel then.
// An anchor that could not be read when it was due is taken from the first
// position that can, so the move that the system sends when the window
// appears does not close the saver.
void OnMouseMove(HWND window) {
    POINT cursor;
    if (!cursorReader(&cursor)) return;
    if (HostState.anchorPending) {
        HostState.cursorAnchor = cursor;
        HostState.anchorPending = false;
        return;
    }
    if (MouseTravel(HostState.cursorAnchor, cursor) <= wakeDistance) return;
    PostClose(window);
    HostState.cursorAnchor = cursor;
}

} // namespace

void AnchorAtCursor() {
    POINT cursor;
    HostState.anchorPending = !cursorReader(&cursor);
    if (!HostState.anchorPending) HostState.cursorAnchor = cursor;
}

DWORD MouseTravel(POINT anchor, POINT cursor) {
    return Distance(anchor.x, cursor.x) + Distance(anchor.y, cursor.y);
}

bool PowerBroadcastCloses(WPARAM event, LPARAM data) {
    switch (event) {
    case PBT_APMQUERYSUSPEND: return false;
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMESTANDBY:
    case PBT_APMRESUMEAUTOMATIC: return !(data & PBTF_APMRESUMEFROMFAILURE);
    case PBT_APMPOWERSTATUSCHANGE:
    case PBT_POWERSETTINGCHANGE: return false;
    default: return true; // the suspend and standby events and everything unknown
    }
}

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HostState.previewMode || HostState.closeApproved)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CLOSE: return OnClose(window, wParam, lParam);
    case kVerifyRequest: return OnVerifyRequest(window, wParam, lParam);
    }
    if (HostState.verifyInProgress) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: PostClose(window); break;
    case WM_MOUSEMOVE: OnMouseMove(window); break;
    case WM_ACTIVATEAPP:
        if (!wParam) PostClose(window); // another application is taking over
        break;
    case WM_POWER:
        if (wParam == PWR_CRITICALRESUME) PostClose(window);
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND) return 1; // the system may suspend
        if (PowerBroadcastCloses(wParam, lParam)) PostClose(window);
        break;
    case WM_SHOWWINDOW:
        if (wParam) SetCursor(nullptr);
        break;
    case WM_SETCURSOR: SetCursor(nullptr); return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
