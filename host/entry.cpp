#include "host/entry.h"

#include <commctrl.h>
#include <setjmp.h>

#include "platform/dpi_awareness.h"
#include "host/host_state.h"
#include "platform/look_up.h"
#include "host/password.h"
#include "host/saver_window.h"
#include "platform/saver_contract.h"
#include "resources/dialog_ids.h"

LPTOP_LEVEL_EXCEPTION_FILTER faultVerdict = UnhandledExceptionFilter;

namespace {

using HeapSetInformationProc = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);

// Looked up by name: older systems lack it, and then the step is skipped.
void HardenHeap() {
    auto setInformation =
        LookUp<HeapSetInformationProc>(GetModuleHandleW(L"KERNEL32.DLL"), "HeapSetInformation");
    if (setInformation) setInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

// The settings dialog creates up-down controls; older common-controls
// libraries register that class only when asked for it.
void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX classes = {8, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
}

// The Windows 95/98/Me family enforces the saver password itself.
bool DetectLegacyPlatform() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

HWND UsableWindow(DWORD number) {
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number));
    return number && IsWindow(window) ? window : nullptr;
}

HWND OrForeground(HWND window) {
    return window ? window : GetForegroundWindow();
}

// After 'P', 'L' or 'A': spaces, then the number. A tab or a colon ends it at 0.
HWND WindowAfterLetter(const wchar_t* afterLetter) {
    while (*afterLetter == L' ')
        ++afterLetter;
    return UsableWindow(ParseWindowNumber(afterLetter));
}

// After 'C': window N for ":N" when N names a window, else the foreground window.
HWND SettingsDialogParent(const wchar_t* afterLetter) {
    if (*afterLetter != L':') return GetForegroundWindow();
    return OrForeground(UsableWindow(ParseWindowNumber(afterLetter + 1)));
}

// The fault guard. There is no __try here: a fault that no frame handles
// reaches the top-level filter, which asks the platform's own filter and, if
// that elects to handle it, jumps back to the guard. The runtime's longjmp
// unwinds the structured-exception frames in between. Only the guarded thread
// may land there: the landing belongs to its stack.
jmp_buf faultLanding;
DWORD guardedThread = 0;
LPTOP_LEVEL_EXCEPTION_FILTER outerFilter = nullptr;

// The platform's report of a fault must not sit under the topmost full-screen
// window with the cursor hidden. The window gets the default procedure first,
// so that hiding it runs none of the code that faulted; another thread's
// window is hidden by its own thread when it next reads its queue.
void UncoverForReport() {
    HWND window = HostState.saverWindow;
    if (HostState.previewMode || !IsWindow(window)) return;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        ShowWindowAsync(window, SW_HIDE);
        return;
    }
    ShowWindow(window, SW_HIDE);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

// A fault on another thread (a loader's, an input method's, an injected
// library's) gets the verdict it would have had without the guard.
LONG OtherThreadVerdict(EXCEPTION_POINTERS* fault) {
    const LONG verdict = outerFilter ? outerFilter(fault) : EXCEPTION_CONTINUE_SEARCH;
    if (verdict != EXCEPTION_CONTINUE_EXECUTION) UncoverForReport();
    return verdict;
}

LONG WINAPI EscapedFaultFilter(EXCEPTION_POINTERS* fault) {
    if (GetCurrentThreadId() != guardedThread) return OtherThreadVerdict(fault);
    SetUnhandledExceptionFilter(outerFilter); // the platform's filter must not come back here
    UncoverForReport();
    const LONG verdict = faultVerdict(fault);
    if (verdict == EXCEPTION_EXECUTE_HANDLER) longjmp(faultLanding, 1);
    return verdict; // on to the system's own handling
}

} // namespace

const wchar_t* CommandTail(const wchar_t* commandLine) {
    const wchar_t* at = commandLine;
    if (*at == L'"') {
        ++at;
        while (*at && *at != L'"')
            ++at;
        if (*at) ++at;
    } else if (*at > L' ') {
        while (*at > L' ')
            ++at;
    }
    while (*at >= 1 && *at <= L' ')
        ++at;
    return at;
}

DWORD ParseWindowNumber(const wchar_t* text) {
    DWORD value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text)
        value = value * 10 + (*text - L'0');
    return value;
}

int OpenSettingsDialog(HWND parent) {
    if (!DialogClassHook(HostState.moduleInstance)) return 0;
    UseDialogAwareness();
    return static_cast<int>(DialogBoxParamW(
        HostState.moduleInstance, MAKEINTRESOURCEW(IDD_SETTINGS), parent, SettingsDialogProc, 0));
}

HostCommand ReadCommand(const wchar_t* commandTail) {
    const wchar_t* at = commandTail;
    while (*at == L' ' || *at == L'-' || *at == L'/')
        ++at;
    switch (*at) {
    case L'\0': return {HostAction::SettingsDialog, nullptr};
    case L'S':
    case L's': return {HostAction::FullScreen, nullptr};
    case L'P':
    case L'p':
    case L'L':
    case L'l': {
        HWND pane = WindowAfterLetter(at + 1);
        return {pane ? HostAction::Preview : HostAction::None, pane};
    }
    case L'C':
    case L'c': return {HostAction::SettingsDialog, SettingsDialogParent(at + 1)};
    case L'A':
    case L'a':
        if (!HostState.legacyPlatform) return {HostAction::None, nullptr};
        return {HostAction::ChangePassword, OrForeground(WindowAfterLetter(at + 1))};
    default: return {HostAction::None, nullptr};
    }
}

int RunCommand(const HostCommand& command) {
    switch (command.action) {
    case HostAction::SettingsDialog: return OpenSettingsDialog(command.window);
    case HostAction::FullScreen: return RunSaverWindow(nullptr);
    case HostAction::Preview: return RunSaverWindow(command.window);
    case HostAction::ChangePassword: ChangeSaverPassword(command.window); return 0;
    case HostAction::None: break;
    }
    return -1;
}

int DispatchCommand(const wchar_t* commandTail) {
    return RunCommand(ReadCommand(commandTail));
}

int GuardFaults(int (*action)(const wchar_t*), const wchar_t* argument) {
    guardedThread = GetCurrentThreadId();
    outerFilter = SetUnhandledExceptionFilter(EscapedFaultFilter);
    if (setjmp(faultLanding)) {
        MarkSaverRunning(false);
        return -1;
    }
    const int result = action(argument);
    SetUnhandledExceptionFilter(outerFilter);
    return result;
}

int HostEntry(HINSTANCE moduleInstance, const wchar_t* commandTail) {
    HardenHeap();
    InitCommonControlClasses();
    HostState.moduleInstance = moduleInstance;
    HostState.legacyPlatform = DetectLegacyPlatform();
    return GuardFaults(DispatchCommand, commandTail);
}
