// Legacy password protection in-process: the throttle arithmetic, arming
// with the test double of PASSWORD.CPL, and ConfirmClose against a window of
// ours that answers the verify request.
#include <gtest/gtest.h>

#include <string>

#include "host/close_rules.h"
#include "host/host_state.h"
#include "host/password.h"
#include "support/engine_fixture.h"

namespace {

int verifyCalls = 0;
BOOL verifyAnswer = FALSE;
bool inProgressDuringVerify = false;

BOOL WINAPI FakeVerify(HWND) {
    ++verifyCalls;
    inProgressDuringVerify = HostState.verifyInProgress;
    return verifyAnswer;
}

LRESULT CALLBACK AnswerVerifyRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kVerifyRequest) return HostState.verifyEntry ? HostState.verifyEntry(window) : 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeSaverLikeWindow() {
    return MakeHiddenWindow(DefaultSaverProc, L"VornCloseRulesTest");
}
HWND MakeVerifyWindow() {
    return MakeHiddenWindow(AnswerVerifyRequest, L"VornVerifyTest");
}

int CountTimers(HWND window) {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE))
        ++count;
    return count;
}

void SetUsePassword(const DWORD* value) {
    HKEY desktop = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &desktop, nullptr);
    if (value)
        RegSetValueExW(desktop, L"ScreenSaveUsePassword", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(value), sizeof(*value));
    else
        RegDeleteValueW(desktop, L"ScreenSaveUsePassword");
    RegCloseKey(desktop);
}

std::wstring SystemFile(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path) + L"\\" + name;
}

class PasswordTest : public ::testing::Test {
  protected:
    // The double, built into build/tests/doubles beside the test programs'
    // folder, goes where the platform keeps PASSWORD.CPL, as long as the tests run.
    static void SetUpTestSuite() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dir(path);
        dir.erase(dir.find_last_of(L"\\/") + 1);
        CopyFileW((dir + L"doubles\\PASSWORD.CPL").c_str(), SystemFile(L"PASSWORD.CPL").c_str(),
                  FALSE);
    }
    static void TearDownTestSuite() {
        DeleteFileW(SystemFile(L"PASSWORD.CPL").c_str());
        DeleteFileW(SystemFile(L"verify.log").c_str());
    }
    void SetUp() override {
        HostState = HostStateRecord();
        verifyCalls = 0;
        verifyAnswer = FALSE;
        window_ = MakeVerifyWindow();
    }
    void TearDown() override {
        DisarmPasswordProtection();
        SetUsePassword(nullptr);
        DestroyWindow(window_);
        HostState = HostStateRecord();
    }
    void ArmWithFake() {
        HostState.legacyPlatform = true;
        HostState.verifyEntry = FakeVerify;
    }
    HWND window_ = nullptr;
};

TEST(VerifyThrottle, AcrossTheTickWrap) {
    struct Case {
        DWORD now, last;
        bool throttled;
    } cases[] = {
        {1000, 900, true},
        {1099, 900, true},
        {1100, 900, false}, // exactly 200 ms later asks again
        {50, 0xFFFFFFF0u, true},
        {199, 0, true},
        {200, 0, false},
        {5, 0xFFFFFF00u, false},
        {0xFFFFFFFEu, kNoVerification, false}, // no verification yet
        {0, kNoVerification, false},
        {900, 1000, false}, // a tick before the last one is a full wrap away
    };
    for (const Case& c : cases)
        EXPECT_EQ(VerifyThrottled(c.now, c.last), c.throttled) << c.now << " after " << c.last;
}

TEST_F(PasswordTest, UnarmedCloseIsApprovedAtOnce) {
    EXPECT_EQ(ConfirmClose(window_), 1);
    EXPECT_TRUE(HostState.closeApproved);
}

TEST_F(PasswordTest, CloseDuringAVerificationIsRefused) {
    ArmWithFake();
    HostState.verifyInProgress = true;
    EXPECT_EQ(ConfirmClose(window_), 0);
    EXPECT_EQ(verifyCalls, 0);
}

TEST_F(PasswordTest, RefusalThrottlesTheNextRequest) {
    ArmWithFake();
    for (int i = 0; i < 3; ++i)
        PostMessageW(window_, WM_TIMER, 1, 0);
    EXPECT_EQ(ConfirmClose(window_), 0);
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_TRUE(inProgressDuringVerify);
    EXPECT_FALSE(HostState.verifyInProgress);
    EXPECT_FALSE(HostState.closeApproved);
    EXPECT_EQ(CountTimers(window_), 1) << "two pending timers are dropped";
    EXPECT_NE(HostState.lastVerifyTick, kNoVerification);

    EXPECT_EQ(ConfirmClose(window_), 0);
    EXPECT_EQ(verifyCalls, 1) << "asked again within 200 ms";

    HostState.lastVerifyTick = GetTickCount() - kVerifyInterval;
    verifyAnswer = TRUE;
    EXPECT_EQ(ConfirmClose(window_), 1);
    EXPECT_EQ(verifyCalls, 2);
    EXPECT_TRUE(HostState.closeApproved);
}

// The whole round trip through the close rules: WM_CLOSE asks ConfirmClose,
// which sends the verify request back to the same window procedure.
TEST_F(PasswordTest, RefusedCloseKeepsTheWindowAndReanchorsTheCursor) {
    ArmWithFake();
    HWND saver = MakeSaverLikeWindow();
    HostState.cursorAnchor = {-1000, -1000};
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(SendMessageW(saver, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_TRUE(IsWindow(saver));
    EXPECT_EQ(HostState.cursorAnchor.x, cursor.x);
    EXPECT_EQ(HostState.cursorAnchor.y, cursor.y);

    HostState.lastVerifyTick = GetTickCount() - kVerifyInterval;
    verifyAnswer = TRUE;
    SendMessageW(saver, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifyCalls, 2);
    EXPECT_FALSE(IsWindow(saver)) << "an approved close destroys the window";
}

TEST_F(PasswordTest, ArmingFollowsThePlatformAndTheUserSetting) {
    const DWORD on = 1, off = 0;
    struct Case {
        bool legacy;
        const DWORD* use;
        bool armed;
    } cases[] = {
        {true, &on, true},
        {true, &off, false},
        {true, nullptr, false},
        {false, &on, false},
    };
    for (const Case& c : cases) {
        HostState = HostStateRecord();
        HostState.legacyPlatform = c.legacy;
        SetUsePassword(c.use);
        ArmPasswordProtection();
        EXPECT_EQ(HostState.passwordModule != nullptr, c.armed) << c.legacy;
        EXPECT_EQ(HostState.verifyEntry != nullptr, c.armed) << c.legacy;
        DisarmPasswordProtection();
        EXPECT_EQ(HostState.passwordModule, nullptr);
        EXPECT_EQ(HostState.verifyEntry, nullptr);
    }
}

TEST_F(PasswordTest, ArmingTwiceKeepsOneLibrary) {
    const DWORD on = 1;
    HostState.legacyPlatform = true;
    SetUsePassword(&on);
    ArmPasswordProtection();
    HMODULE first = HostState.passwordModule;
    ASSERT_NE(first, nullptr);
    ArmPasswordProtection();
    ASSERT_NE(HostState.passwordModule, nullptr);
    DisarmPasswordProtection();
    EXPECT_EQ(GetModuleHandleW(L"PASSWORD.CPL"), nullptr) << "library still loaded";
}

} // namespace
