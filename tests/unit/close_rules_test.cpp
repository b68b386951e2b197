// The close rules on a hidden window of ours whose procedure is
// DefaultSaverProc: messages are sent to it and the queue is inspected for
// the WM_CLOSE it posts to itself.
#include <gtest/gtest.h>

#include <vector>

#include "host/close_rules.h"
#include "host/host_state.h"

namespace {

constexpr LRESULT kDefault = -12345; // "whatever DefWindowProcW answers"

struct RuleRow {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int closes; // WM_CLOSE messages posted, full screen
    LRESULT answer;
    bool hidesCursor;
};

const LPARAM kSetCursorHit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

const RuleRow kRules[] = {
    {"key press", WM_KEYDOWN, 'A', 0, 1, kDefault, false},
    {"system key press", WM_SYSKEYDOWN, 'A', 0, 1, kDefault, false},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, 0, 1, kDefault, false},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON, 0, 1, kDefault, false},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, 0, 1, kDefault, false},
    {"mouse travel of 10", WM_MOUSEMOVE, 0, 0, 1, kDefault, false},
    {"key release", WM_KEYUP, 'A', 0, 0, kDefault, false},
    {"system key release", WM_SYSKEYUP, 'A', 0, 0, kDefault, false},
    {"character", WM_CHAR, 'a', 0, 0, kDefault, false},
    {"button release", WM_LBUTTONUP, 0, 0, 0, kDefault, false},
    {"double click", WM_LBUTTONDBLCLK, MK_LBUTTON, 0, 0, kDefault, false},
    {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0, 0, kDefault, false},
    {"fourth button", WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 0, 0, kDefault, false},
    {"fifth button", WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), 0, 0, kDefault, false},
    {"another application activated", WM_ACTIVATEAPP, 0, 0, 1, kDefault, false},
    {"this application activated", WM_ACTIVATEAPP, 1, 0, 0, kDefault, false},
    {"critical resume", WM_POWER, PWR_CRITICALRESUME, 0, 1, kDefault, false},
    {"suspend request", WM_POWER, PWR_SUSPENDREQUEST, 0, 0, kDefault, false},
    {"suspend resume", WM_POWER, PWR_SUSPENDRESUME, 0, 0, kDefault, false},
    {"query suspend", WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, 0, 1, false},
    {"query standby", WM_POWERBROADCAST, PBT_APMQUERYSTANDBY, 0, 1, kDefault, false},
    {"query suspend failed", WM_POWERBROADCAST, PBT_APMQUERYSUSPENDFAILED, 0, 1, kDefault, false},
    {"query standby failed", WM_POWERBROADCAST, PBT_APMQUERYSTANDBYFAILED, 0, 1, kDefault, false},
    {"suspend", WM_POWERBROADCAST, PBT_APMSUSPEND, 0, 1, kDefault, false},
    {"standby", WM_POWERBROADCAST, PBT_APMSTANDBY, 0, 1, kDefault, false},
    {"resume critical", WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 0, 1, kDefault, false},
    {"resume critical failed", WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 1, 0, kDefault, false},
    {"resume suspend", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, 1, kDefault, false},
    {"resume suspend failed", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1, 0, kDefault, false},
    {"resume standby", WM_POWERBROADCAST, PBT_APMRESUMESTANDBY, 2, 1, kDefault, false},
    {"resume standby failed", WM_POWERBROADCAST, PBT_APMRESUMESTANDBY, 3, 0, kDefault, false},
    {"resume automatic", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, 1, kDefault, false},
    {"resume automatic failed", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 1, 0, kDefault, false},
    {"battery low", WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0, 1, kDefault, false},
    {"power status change", WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, 0, kDefault, false},
    {"OEM event", WM_POWERBROADCAST, PBT_APMOEMEVENT, 0, 1, kDefault, false},
    {"power setting change", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, 0, kDefault, false},
    {"unknown power event", WM_POWERBROADCAST, 0x1234, 0, 1, kDefault, false},
    {"window shown", WM_SHOWWINDOW, TRUE, 0, 0, kDefault, true},
    {"window hidden", WM_SHOWWINDOW, FALSE, 0, 0, kDefault, false},
    {"cursor request", WM_SETCURSOR, 0, kSetCursorHit, 0, 1, true},
    {"timer", WM_TIMER, 1, 0, 0, kDefault, false},
};

const wchar_t kTestClass[] = L"VornCloseRulesTest";

void RegisterTestClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefaultSaverProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTestClass;
    RegisterClassW(&windowClass);
}

POINT Cursor() {
    POINT at;
    GetCursorPos(&at);
    return at;
}

int TakePostedCloses(HWND window) {
    MSG message;
    int count = 0;
    while (PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        ++count;
    return count;
}

HWND verifiedWindow = nullptr;
BOOL WINAPI VerifyAnswering5(HWND window) {
    verifiedWindow = window;
    return 5;
}
BOOL WINAPI VerifyRefusing(HWND window) {
    verifiedWindow = window;
    return 0;
}

class CloseRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTestClass();
        HostState = HostStateRecord();
        window_ = CreateWindowExW(0, kTestClass, L"Screen Saver", WS_POPUP, 0, 0, 64, 48, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        MSG message;
        while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        cursorReader = GetCursorPos;
        HostState = HostStateRecord();
        verifiedWindow = nullptr;
    }

    // Sends the row's message with the cursor 10 pixels from the anchor and
    // the arrow shown; reports what was posted, answered and hidden.
    void Check(const RuleRow& row, int closes, bool rulesApply) {
        SCOPED_TRACE(row.name);
        const POINT at = Cursor();
        HostState.cursorAnchor = {at.x - 10, at.y};
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        const LRESULT expected = row.answer != kDefault && rulesApply
                                     ? row.answer
                                     : DefWindowProcW(window_, row.message, row.wParam, row.lParam);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        const LRESULT answer = SendMessageW(window_, row.message, row.wParam, row.lParam);
        EXPECT_EQ(answer, expected);
        EXPECT_EQ(TakePostedCloses(window_), closes);
        EXPECT_EQ(GetCursor() == nullptr, row.hidesCursor && rulesApply);
        EXPECT_TRUE(IsWindow(window_));
    }

    HWND window_ = nullptr;
};

TEST_F(CloseRulesTest, FullScreenRulesRowByRow) {
    for (const RuleRow& row : kRules)
        Check(row, row.closes, true);
}

TEST_F(CloseRulesTest, NoRuleAppliesInPreviewOnceApprovedOrWhileVerifying) {
    struct Mode {
        const char* name;
        bool HostStateRecord::*flag;
    };
    const Mode modes[] = {{"preview", &HostStateRecord::previewMode},
                          {"close approved", &HostStateRecord::closeApproved},
                          {"verifying", &HostStateRecord::verifyInProgress}};
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        HostState = HostStateRecord();
        HostState.*mode.flag = true;
        for (const RuleRow& row : kRules)
            Check(row, 0, false);
    }
}

TEST(MouseTravel, SumOfDistancesOnBothAxes) {
    struct Row {
        POINT anchor, cursor;
        DWORD travel;
    };
    const Row rows[] = {
        {{100, 100}, {100, 100}, 0}, {{100, 100}, {103, 101}, 4},   {{100, 100}, {97, 99}, 4},
        {{100, 100}, {105, 100}, 5}, {{100, 100}, {100, 95}, 5},    {{-1280, -20}, {-1277, -21}, 4},
        {{-5, 0}, {5, 0}, 10},       {{0, 0}, {2000, -1500}, 3500},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MouseTravel(row.anchor, row.cursor), row.travel);
        EXPECT_EQ(MouseTravel(row.cursor, row.anchor), row.travel);
    }
    EXPECT_EQ(wakeDistance, 4u);
}

// Real cursor positions: each step moves the cursor to base + offset and
// sends one WM_MOUSEMOVE; the anchor starts at base.
TEST_F(CloseRulesTest, MouseTravelAddsUpUntilItExceedsFour) {
    struct Case {
        const char* name;
        std::vector<POINT> offsets;
        std::vector<int> closes; // after each move
    };
    const Case cases[] = {
        {"3 across and 1 down", {{3, 1}}, {0}},
        {"5 across", {{5, 0}}, {1}},
        {"4 up", {{0, -4}}, {0}},
        {"2 and 3 diagonally back", {{-2, -3}}, {1}},
        {"two moves of 3", {{3, 0}, {6, 0}}, {0, 1}},
        {"single pixels", {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}, {0, 0, 0, 0, 1}},
        {"there and back", {{3, 0}, {0, 0}, {-3, 0}, {-4, -1}}, {0, 0, 0, 1}},
        {"anchored again after a close", {{5, 0}, {8, 0}, {9, 0}, {10, 0}}, {1, 0, 0, 1}},
    };
    const POINT base = {400, 300};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetCursorPos(base.x, base.y));
        ASSERT_EQ(Cursor().x, base.x);
        HostState.cursorAnchor = base;
        std::vector<int> closes;
        for (const POINT& offset : c.offsets) {
            SetCursorPos(base.x + offset.x, base.y + offset.y);
            SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
            closes.push_back(TakePostedCloses(window_));
        }
        EXPECT_EQ(closes, c.closes);
    }
}

TEST_F(CloseRulesTest, AMoveThatClosesAnchorsAtTheCursor) {
    SetCursorPos(420, 310);
    HostState.cursorAnchor = {400, 300};
    SendMessageW(window_, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(TakePostedCloses(window_), 1);
    EXPECT_EQ(HostState.cursorAnchor.x, 420);
    EXPECT_EQ(HostState.cursorAnchor.y, 310);
}

// As when another desktop takes the input; the point is left as garbage.
BOOL WINAPI CursorUnreadable(POINT* at) {
    *at = {5000, -5000};
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// A move cannot be measured and a refused close (here: the password dialog is
// already up) cannot re-anchor: neither closes nor moves the anchor.
TEST_F(CloseRulesTest, AnUnreadableCursorNeitherClosesNorMovesTheAnchor) {
    cursorReader = CursorUnreadable;
    HostState.cursorAnchor = {400, 300};
    SendMessageW(window_, WM_MOUSEMOVE, 0, 0);
    HostState.legacyPlatform = HostState.verifyInProgress = true;
    EXPECT_EQ(SendMessageW(window_, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(TakePostedCloses(window_), 0);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(HostState.cursorAnchor.x, 400);
    EXPECT_EQ(HostState.cursorAnchor.y, 300);

    // Readable again: the first move anchors instead of measuring from the stale anchor.
    cursorReader = GetCursorPos;
    HostState.verifyInProgress = false;
    SetCursorPos(500, 300);
    SendMessageW(window_, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(TakePostedCloses(window_), 0);
    EXPECT_EQ(HostState.cursorAnchor.x, 500);
    SetCursorPos(505, 300);
    SendMessageW(window_, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(TakePostedCloses(window_), 1);
}

TEST_F(CloseRulesTest, EveryQualifyingMessagePostsItsOwnClose) {
    SendMessageW(window_, WM_KEYDOWN, 'A', 0);
    SendMessageW(window_, WM_LBUTTONDOWN, 0, 0);
    SendMessageW(window_, WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(TakePostedCloses(window_), 3);
}

TEST_F(CloseRulesTest, PostedCloseComesBackAndDestroysTheWindow) {
    SendMessageW(window_, WM_KEYDOWN, 'A', 0);
    MSG message;
    while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(CloseRulesTest, CloseDestroysOffTheLegacyPlatform) {
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(CloseRulesTest, CloseOnTheLegacyPlatformDestroysOnceConfirmed) {
    HostState.legacyPlatform = true;
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(HostState.closeApproved);
}

TEST_F(CloseRulesTest, VerifyRequest) {
    struct Row {
        const char* name;
        bool legacy, preview, verifying;
        VerifyScreenSavePwdProc entry;
        LRESULT answer;
        bool entryCalled;
    };
    const Row rows[] = {
        {"off the legacy platform", false, false, false, VerifyAnswering5, 0, false},
        {"no password check", true, false, false, nullptr, 1, false},
        {"check allows", true, false, false, VerifyAnswering5, 5, true},
        {"check refuses", true, false, false, VerifyRefusing, 0, true},
        {"answered while verifying", true, false, true, VerifyAnswering5, 5, true},
        {"preview", true, true, false, VerifyAnswering5, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostState = HostStateRecord();
        HostState.legacyPlatform = row.legacy;
        HostState.previewMode = row.preview;
        HostState.verifyInProgress = row.verifying;
        HostState.verifyEntry = row.entry;
        verifiedWindow = nullptr;
        EXPECT_EQ(SendMessageW(window_, WM_APP, 0, 0), row.answer);
        EXPECT_EQ(verifiedWindow, row.entryCalled ? window_ : nullptr);
    }
}

} // namespace
