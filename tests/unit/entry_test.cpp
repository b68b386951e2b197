// The process entry: the command tail, window numbers, the dispatch table and
// its exit codes, and the fault guard.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <random>
#include <string>
#include <vector>

#include "host/entry.h"
#include "host/host_state.h"
#include "platform/saver_contract.h"

namespace {

TEST(CommandTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
    struct Row {
        const wchar_t* line;
        const wchar_t* tail;
    };
    const Row rows[] = {
        {L"\"C:\\Program Files\\Vorn.scr\" /s", L"/s"},
        {L"\"C:\\Vorn.scr\"/p 12", L"/p 12"},
        {L"\"C:\\Vorn.scr\"x /s", L"x /s"},
        {L"\"C:\\no closing quote /s", L""},
        {L"\"\" /c", L"/c"},
        {L"C:\\Vorn.scr /c:123", L"/c:123"},
        {L"Vorn.scr\t\t /S", L"/S"},
        {L"Vorn.scr \x01\x1f s", L"s"},
        {L"Vorn.scr", L""},
        {L"Vorn.scr   ", L""},
        {L" /s", L"/s"},
        {L"\t\t-p 5", L"-p 5"},
        {L"", L""},
        {L"Vorn.scr /p  7 ", L"/p  7 "},
    };
    for (const Row& row : rows)
        EXPECT_EQ(std::wstring(CommandTail(row.line)), row.tail) << row.line;
}

TEST(ParseWindowNumber, LeadingDecimalDigitsWrappingModulo2To32) {
    struct Row {
        const wchar_t* text;
        DWORD value;
    };
    const Row rows[] = {
        {L"0", 0},
        {L"7", 7},
        {L"65552", 65552},
        {L"123abc", 123},
        {L"12 34", 12},
        {L"abc", 0},
        {L"", 0},
        {L" 12", 0},
        {L"-5", 0},
        {L"+5", 0},
        {L"0x10", 0},
        {L"007", 7},
        {L"4294967295", 0xFFFFFFFFu},
        {L"4294967296", 0},
        {L"4294967297", 1},
        {L"99999999999", 1215752191u},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ParseWindowNumber(row.text), row.value) << row.text;
}

class DispatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        HostState = HostStateRecord();
        window_ = CreateWindowExW(0, L"STATIC", L"pane", WS_POPUP, 0, 0, 152, 112, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        number_ = std::to_wstring(reinterpret_cast<UINT_PTR>(window_));
    }
    void TearDown() override {
        DestroyWindow(window_);
        HostState = HostStateRecord();
    }
    // "%" in a pattern stands for the number of our window.
    std::wstring With(const wchar_t* pattern) const {
        std::wstring text = pattern;
        const size_t at = text.find(L'%');
        if (at != std::wstring::npos) text.replace(at, 1, number_);
        return text;
    }
    HWND window_ = nullptr;
    std::wstring number_;
};

enum Expected { kNone, kOurs, kForeground }; // kForeground: GetForegroundWindow()

TEST_F(DispatchTest, OnlyTheFirstSignificantCharacterDecides) {
    struct Row {
        const wchar_t* tail;
        bool legacy;
        HostAction action;
        Expected window;
    };
    const Row rows[] = {
        {L"", false, HostAction::SettingsDialog, kNone},
        {L"/", false, HostAction::SettingsDialog, kNone},
        {L"- -", false, HostAction::SettingsDialog, kNone},
        {L" //--", false, HostAction::SettingsDialog, kNone},
        {L"/s", false, HostAction::FullScreen, kNone},
        {L"/S", false, HostAction::FullScreen, kNone},
        {L"-s", false, HostAction::FullScreen, kNone},
        {L"s", false, HostAction::FullScreen, kNone},
        {L"/screensaver", false, HostAction::FullScreen, kNone},
        {L"/p %", false, HostAction::Preview, kOurs},
        {L"/P   %", false, HostAction::Preview, kOurs},
        {L"/p%", false, HostAction::Preview, kOurs},
        {L"/l %", false, HostAction::Preview, kOurs},
        {L"L %", false, HostAction::Preview, kOurs},
        {L"/p % trailing", false, HostAction::Preview, kOurs},
        {L"/p", false, HostAction::None, kNone},
        {L"/p 0", false, HostAction::None, kNone},
        {L"/p:%", false, HostAction::None, kNone},
        {L"/p\t%", false, HostAction::None, kNone},
        {L"/p 3", false, HostAction::None, kNone},
        {L"/c", false, HostAction::SettingsDialog, kForeground},
        {L"/c %", false, HostAction::SettingsDialog, kForeground},
        {L"/c:%", false, HostAction::SettingsDialog, kOurs},
        {L"/C:%x", false, HostAction::SettingsDialog, kOurs},
        {L"/c:0", false, HostAction::SettingsDialog, kForeground},
        {L"/c:abc", false, HostAction::SettingsDialog, kForeground},
        {L"/c: %", false, HostAction::SettingsDialog, kForeground},
        {L"/a %", false, HostAction::None, kNone},
        {L"/a", false, HostAction::None, kNone},
        {L"/a %", true, HostAction::ChangePassword, kOurs},
        {L"/A%", true, HostAction::ChangePassword, kOurs},
        {L"/a", true, HostAction::ChangePassword, kForeground},
        {L"/a 3", true, HostAction::ChangePassword, kForeground},
        {L"/x", false, HostAction::None, kNone},
        {L"12 /s", false, HostAction::None, kNone},
        {L"/\ts", false, HostAction::None, kNone},
        {L":s", false, HostAction::None, kNone},
    };
    for (const Row& row : rows) {
        const std::wstring tail = With(row.tail);
        HostState.legacyPlatform = row.legacy;
        const HostCommand command = ReadCommand(tail.c_str());
        HWND expected = row.window == kOurs         ? window_
                        : row.window == kForeground ? GetForegroundWindow()
                                                    : nullptr;
        EXPECT_EQ(static_cast<int>(command.action), static_cast<int>(row.action)) << tail;
        EXPECT_EQ(command.window, expected) << tail;
    }
}

// Random tails from every character class the dispatch knows, our window's
// number among them: each gets only the action that its first significant
// character allows, a window only where that action takes one, and the exit
// code of the table where the action can run here.
TEST_F(DispatchTest, RandomTailsGetOnlyWhatTheTableAllows) {
    // Single characters of every class, digit runs that wrap, and our number
    // after each kind of separator, so the usable windows come up often too.
    std::vector<std::wstring> tokens = {L"4294967296", L"98765432109876543210"};
    for (wchar_t c : std::wstring(L" -/\t:SsPpLlCcAax07\x01\xE9\xFF33"))
        tokens.push_back(std::wstring(1, c));
    for (const wchar_t* before : {L"", L" ", L":", L"\t", L"  0"})
        tokens.push_back(before + number_);
    // Whether the text, after any spaces, is our window's number (leading
    // zeros allowed) ended by a non-digit.
    auto ours = [&](const wchar_t* text, bool skipSpaces) {
        while (skipSpaces && *text == L' ')
            ++text;
        while (*text == L'0')
            ++text;
        return std::wstring(text).compare(0, number_.size(), number_) == 0 &&
               !iswdigit(text[number_.size()]);
    };
    std::mt19937 random(11);
    int seen[5] = {};
    for (int i = 0; i < 1000; ++i) {
        std::wstring tail;
        for (unsigned n = random() % 9; n > 0; --n)
            tail += tokens[random() % tokens.size()];
        HostState.legacyPlatform = i % 2 == 1;
        const size_t at = tail.find_first_not_of(L" -/");
        const wchar_t* first = at == std::wstring::npos ? L"" : tail.c_str() + at;
        const wchar_t* after = first + 1;
        HostCommand allowed = {HostAction::None, nullptr};
        switch (*first) {
        case L'\0': allowed = {HostAction::SettingsDialog, nullptr}; break;
        case L'S':
        case L's': allowed = {HostAction::FullScreen, nullptr}; break;
        case L'P':
        case L'p':
        case L'L':
        case L'l':
            if (ours(after, true)) allowed = {HostAction::Preview, window_};
            break;
        case L'C':
        case L'c':
            allowed = {HostAction::SettingsDialog,
                       *after == L':' && ours(after + 1, false) ? window_ : GetForegroundWindow()};
            break;
        case L'A':
        case L'a':
            if (HostState.legacyPlatform)
                allowed = {HostAction::ChangePassword,
                           ours(after, true) ? window_ : GetForegroundWindow()};
            break;
        }
        const HostCommand got = ReadCommand(tail.c_str());
        EXPECT_EQ(static_cast<int>(got.action), static_cast<int>(allowed.action)) << tail;
        EXPECT_EQ(got.window, allowed.window) << tail;
        // The other actions would open windows; these two run here.
        if (got.action == HostAction::None || got.action == HostAction::ChangePassword) {
            EXPECT_EQ(RunCommand(got), got.action == HostAction::None ? -1 : 0) << tail;
        }
        ++seen[static_cast<int>(got.action)];
    }
    for (int count : seen)
        EXPECT_GT(count, 0) << "every action drawn";
}

// Commands that run no action end with -1 and leave nothing behind.
TEST_F(DispatchTest, NoActionEndsWithMinusOne) {
    const wchar_t* tails[] = {L"/x",   L"12 /s", L"/p", L"/p 0", L"/p:%",
                              L"/l:%", L"/a %",  L"/a", L"/\ts", L"/p 4294967296"};
    for (const wchar_t* pattern : tails) {
        const std::wstring tail = With(pattern);
        EXPECT_EQ(HostEntry(GetModuleHandleW(nullptr), tail.c_str()), -1) << tail;
        EXPECT_EQ(HostState.saverWindow, nullptr);
    }
    EXPECT_FALSE(HostState.legacyPlatform);
    EXPECT_EQ(HostState.moduleInstance, GetModuleHandleW(nullptr));
}

TEST_F(DispatchTest, PasswordChangeOnTheLegacyPlatformEndsWithZero) {
    HostState.legacyPlatform = true;
    EXPECT_EQ(DispatchCommand(With(L"/a %").c_str()), 0);
    EXPECT_EQ(DispatchCommand(L"/a"), 0);
}

// This program has no dialog template, so the dialog cannot be created.
TEST_F(DispatchTest, SettingsDialogReturnsWhatTheDialogBoxReturns) {
    HostState.moduleInstance = GetModuleHandleW(nullptr);
    EXPECT_EQ(DialogClassHook(HostState.moduleInstance), 1);
    EXPECT_EQ(OpenSettingsDialog(nullptr), -1);
    EXPECT_EQ(DispatchCommand(With(L"/c:%").c_str()), -1);
}

DWORD faultSeen = 0;
LONG verdictGiven = EXCEPTION_EXECUTE_HANDLER;

LONG WINAPI RecordingVerdict(EXCEPTION_POINTERS* fault) {
    faultSeen = fault->ExceptionRecord->ExceptionCode;
    return verdictGiven;
}

DWORD outerSeen = 0;
LONG outerVerdict = EXCEPTION_CONTINUE_SEARCH;

LONG WINAPI OuterFilter(EXCEPTION_POINTERS* fault) {
    outerSeen = fault->ExceptionRecord->ExceptionCode;
    return outerVerdict;
}

int ReturnsSeven(const wchar_t*) {
    return 7;
}

// Windows never maps the first 64 KB: a real access violation, where a null
// pointer would meet the undefined-behaviour sanitizer's trap first. Through a
// volatile, so that the compiler sees no constant address.
int WritesThroughNull(const wchar_t*) {
    int volatile* volatile target = reinterpret_cast<int volatile*>(static_cast<uintptr_t>(16));
    *target = 1;
    return 0;
}

int RaisesItsOwnFault(const wchar_t*) {
    RaiseException(0xE0564F52, 0, 0, nullptr);
    return 0;
}

// Faults a few frames down, below platform code that called back into ours.
BOOL CALLBACK FaultInCallback(HWND, LPARAM) {
    WritesThroughNull(nullptr);
    return FALSE;
}
int FaultsInsideEnumeration(const wchar_t*) {
    EnumThreadWindows(GetCurrentThreadId(), FaultInCallback, 0);
    return 0;
}

const wchar_t kFaultingClass[] = L"VornFaultingWindow";
HWND faultingWindow = nullptr;

LRESULT CALLBACK FaultingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) WritesThroughNull(nullptr);
    return DefWindowProcW(window, message, wParam, lParam);
}
int FaultsInASentMessage(const wchar_t*) {
    SendMessageW(faultingWindow, WM_APP, 0, 0);
    return 0;
}
int FaultsInTheMessageLoop(const wchar_t*) {
    PostMessageW(faultingWindow, WM_APP, 0, 0);
    MSG message;
    while (PeekMessageW(&message, faultingWindow, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    return 0;
}

// A loader's or an injected library's thread faults while the guard runs.
DWORD WINAPI RaisesOnItsOwnThread(void*) {
    RaiseException(0xE0564F54, 0, 0, nullptr);
    return 0;
}
int FaultsOnAnotherThread(const wchar_t*) {
    HANDLE thread = CreateThread(nullptr, 0, RaisesOnItsOwnThread, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return 7;
}

// What the saver's window and cursor were when the platform was asked.
bool windowShownAtVerdict = false, cursorShownAtVerdict = false;
LONG WINAPI LookingVerdict(EXCEPTION_POINTERS* fault) {
    windowShownAtVerdict = IsWindowVisible(HostState.saverWindow) != FALSE;
    cursorShownAtVerdict = GetCursor() != nullptr;
    return RecordingVerdict(fault);
}

class FaultGuardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        faultVerdict = RecordingVerdict;
        faultSeen = outerSeen = 0;
        outerVerdict = EXCEPTION_CONTINUE_SEARCH;
        previous_ = SetUnhandledExceptionFilter(OuterFilter);
        WNDCLASSW faulting = {};
        faulting.lpfnWndProc = FaultingProc;
        faulting.hInstance = GetModuleHandleW(nullptr);
        faulting.lpszClassName = kFaultingClass;
        RegisterClassW(&faulting);
        faultingWindow = CreateWindowExW(0, kFaultingClass, L"", WS_POPUP, 0, 0, 8, 8, nullptr,
                                         nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override {
        DestroyWindow(faultingWindow);
        EXPECT_EQ(SetUnhandledExceptionFilter(previous_), OuterFilter) << "filter not restored";
        faultVerdict = UnhandledExceptionFilter;
    }
    LPTOP_LEVEL_EXCEPTION_FILTER previous_ = nullptr;
};

TEST_F(FaultGuardTest, PassesTheActionsResultThrough) {
    EXPECT_EQ(GuardFaults(ReturnsSeven, nullptr), 7);
    EXPECT_EQ(faultSeen, 0u);
}

// Under qemu's user-mode emulation (the 32-bit programs where the kernel runs
// 64-bit ones only; the test scripts set VORN_EMULATED) a fault reaches Wine
// without the processor's trap number, so an access violation arrives as an
// illegal instruction: its code is the emulator's, not the platform's.
bool FaultCodesAreTheEmulators() {
    return std::getenv("VORN_EMULATED") != nullptr;
}

TEST_F(FaultGuardTest, AnEscapedFaultTheFilterHandlesGivesMinusOne) {
    struct Row {
        const char* name;
        int (*action)(const wchar_t*);
        DWORD code;
    };
    const Row rows[] = {
        {"access violation", WritesThroughNull, EXCEPTION_ACCESS_VIOLATION},
        {"raised fault", RaisesItsOwnFault, 0xE0564F52},
        {"fault inside a callback", FaultsInsideEnumeration, EXCEPTION_ACCESS_VIOLATION},
        {"fault in a window procedure", FaultsInASentMessage, EXCEPTION_ACCESS_VIOLATION},
        {"fault in the message loop", FaultsInTheMessageLoop, EXCEPTION_ACCESS_VIOLATION},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        faultSeen = 0;
        EXPECT_EQ(GuardFaults(row.action, nullptr), -1);
        if (row.code == EXCEPTION_ACCESS_VIOLATION && FaultCodesAreTheEmulators())
            std::printf("skipped under emulation: the code of \"%s\" (0x%08lX, not 0xC0000005)\n",
                        row.name, faultSeen);
        else
            EXPECT_EQ(faultSeen, row.code);
        EXPECT_EQ(GuardFaults(ReturnsSeven, nullptr), 7) << "the guard works again afterwards";
    }
}

// The landing belongs to the guarded thread's stack: a fault elsewhere gets
// the verdict of the filter that was there before (here: carry on).
TEST_F(FaultGuardTest, AFaultOnAnotherThreadNeverLandsInTheGuard) {
    outerVerdict = EXCEPTION_CONTINUE_EXECUTION;
    EXPECT_EQ(GuardFaults(FaultsOnAnotherThread, nullptr), 7);
    EXPECT_EQ(outerSeen, 0xE0564F54u);
    EXPECT_EQ(faultSeen, 0u) << "the platform's verdict is for the guarded thread";
    EXPECT_EQ(GuardFaults(WritesThroughNull, nullptr), -1) << "the guard still holds";
}

// The platform's report must not sit under the topmost window, nor under a
// hidden cursor; the preview is left to its pane.
TEST_F(FaultGuardTest, ThePlatformSeesAFaultWithTheFullScreenWindowHidden) {
    faultVerdict = LookingVerdict;
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "full screen");
        HostState.previewMode = preview;
        HostState.saverWindow =
            CreateWindowExW(WS_EX_TOPMOST, kFaultingClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetCursor(nullptr);
        EXPECT_EQ(GuardFaults(WritesThroughNull, nullptr), -1);
        EXPECT_EQ(windowShownAtVerdict, preview);
        EXPECT_EQ(cursorShownAtVerdict, !preview);
        DestroyWindow(HostState.saverWindow);
    }
    HostState = HostStateRecord();
}

} // namespace
