#include "host/saver_window.h"

#include "host/close_rules.h"
#include "platform/dpi_awareness.h"
#include "host/host_state.h"
#include "platform/look_up.h"
#include "platform/saver_contract.h"
#include "host/password.h"

namespace {

struct Placement {
    int x, y, width, height;
};

// The icon group is 500, so asking for 100 leaves the class without one.
WNDCLASSW SaverClass() {
    WNDCLASSW saverClass = {};
    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    saverClass.lpfnWndProc = HostWindowProc;
    saverClass.hInstance = HostState.moduleInstance;
    saverClass.hIcon = LoadIconW(HostState.moduleInstance, MAKEINTRESOURCEW(100));
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = kSaverClassName;
    return saverClass;
}

Placement PreviewPlacement(HWND parent) {
    RECT client = {};
    GetClientRect(parent, &client);
    return {0, 0, client.right, client.bottom};
}

// The bounding box of all monitors; the screen's clip box if the metrics are empty.
Placement FullScreenPlacement() {
    Placement place = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (place.width && place.height) return place;
    RECT box = {};
    HDC screen = GetDC(nullptr);
    GetClipBox(screen, &box);
    ReleaseDC(nullptr, screen);
    return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

// Full screen only. Moving the window over a virtual screen of another size
// resizes it, and the engine starts its picture again at that size on WM_SIZE.
// The change may move the cursor as the system sees it, which is no user's
// travel, so it is anchored again once the rest of the chain has seen it.
LRESULT FollowDisplay(HWND window, WPARAM wParam, LPARAM lParam) {
    const Placement place = FullScreenPlacement();
    const RECT wanted = {place.x, place.y, place.x + place.width, place.y + place.height};
    RECT now = {};
    GetWindowRect(window, &now);
    if (!EqualRect(&now, &wanted))
        SetWindowPos(window, nullptr, place.x, place.y, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    const LRESULT result = SaverProc(window, WM_DISPLAYCHANGE, wParam, lParam);
    AnchorAtCursor();
    return result;
}

// A full-screen saver is already up: bring it forward instead of starting another.
bool RaiseRunningSaver() {
    HWND running = FindWindowW(kSaverClassName, kSaverTitle);
    if (!running || !IsWindow(running)) return false;
    SetForegroundWindow(running);
    return true;
}

HWND CreateSaverWindow(HWND parent, const Placement& place) {
    const DWORD exStyle = parent ? 0 : WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN
                               : WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CreateWindowExW(exStyle, kSaverClassName, parent ? kPreviewTitle : kSaverTitle, style,
                           place.x, place.y, place.width, place.height, parent, nullptr,
                           HostState.moduleInstance, nullptr);
}

// A failing GetMessageW (-1) ends the loop as WM_QUIT does, rather than spinning.
int RunMessageLoop() {
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void HideCursorOverFullScreen() {
    if (!HostState.previewMode) SetCursor(nullptr);
}

// A cursor call can cost more than a whole frame (under Wine it is a round
// trip to the server), so a paint hides the cursor again only when another
// message has come through since: the cursor belongs to this thread, and only
// code run for a message can have shown it.
void HideCursorIfShownSinceLastPaint() {
    if (!HostState.cursorMayShow) return;
    HideCursorOverFullScreen();
    HostState.cursorMayShow = false;
}

// Disconnect the input method (only if the process already has it) and anchor
// the cursor before the engine starts, so travel counts from here.
void OnCreate(HWND window) {
    HostState.imeModule = GetModuleHandleW(L"IMM32.DLL");
    HostState.imeAssociate =
        LookUp<ImmAssociateContextProc>(HostState.imeModule, "ImmAssociateContext");
    if (HostState.imeAssociate) HostState.savedImeContext = HostState.imeAssociate(window, nullptr);
    AnchorAtCursor();
    HideCursorOverFullScreen();
}

void OnDestroy(HWND window) {
    if (HostState.imeModule && HostState.imeAssociate && HostState.savedImeContext)
        HostState.imeAssociate(window, HostState.savedImeContext);
    PostQuitMessage(0);
}

// The preview's owner shows help and menus; the saver itself shows none.
LRESULT ForwardToPreviewParent(HWND window, UINT message, LPARAM lParam) {
    HWND parent = GetParent(window);
    if (parent && IsWindow(parent))
        PostMessageW(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    return 1;
}

// Full screen only. True when the command is swallowed.
bool SwallowSysCommand(HWND window, WPARAM command) {
    switch (command & 0xFFF0) {
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_SCREENSAVE: return true;
    case SC_MONITORPOWER: PostMessageW(window, WM_CLOSE, 0, 0); return false;
    default: return false;
    }
}

} // namespace

int RunSaverWindow(HWND parent) {
    const WNDCLASSW saverClass = SaverClass();
    Placement place;
    if (parent) {
        UseAwarenessOf(parent); // before the pane is measured and the child made
        place = PreviewPlacement(parent);
        HostState.previewMode = true;
    } else {
        place = FullScreenPlacement();
        if (RaiseRunningSaver()) return 0;
        ArmPasswordProtection();
    }
    if (RegisterClassW(&saverClass)) HostState.saverWindow = CreateSaverWindow(parent, place);
    int result = -1; // no window: a failure, not the 0 of a normal close
    if (HostState.saverWindow) {
        if (!parent) SetForegroundWindow(HostState.saverWindow);
        result = RunMessageLoop();
    }
    DisarmPasswordProtection();
    return result;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) HostState.cursorMayShow = true;
    switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_DESTROY: OnDestroy(window); break;
    case WM_SETTEXT: return 0; // the title never changes
    case WM_PAINT:
        // Validating stops the animation once the close is approved.
        if (HostState.closeApproved) return DefWindowProcW(window, message, wParam, lParam);
        HideCursorIfShownSinceLastPaint();
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (HostState.previewMode) return ForwardToPreviewParent(window, message, lParam);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (HostState.closeApproved) return DefWindowProcW(window, message, wParam, lParam);
        break;
    case WM_TIMER: // the saver sets none; one from platform code (legacy password) only yields
        if (HostState.closeApproved) return 0;
        Sleep(0);
        break;
    case WM_SYSCOMMAND:
        if (!HostState.previewMode && SwallowSysCommand(window, wParam)) return 0;
        break;
    case WM_DISPLAYCHANGE: // the preview's pane decides its size
        if (!HostState.previewMode) return FollowDisplay(window, wParam, lParam);
        break;
    }
    return SaverProc(window, message, wParam, lParam);
}
