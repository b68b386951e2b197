// The saver window's framework layer on windows of ours: HostWindowProc's
// rows, the single-instance check, and a whole preview run in a pane.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/image.h"
#include "host/close_rules.h"
#include "platform/dpi_awareness.h"
#include "host/host_state.h"
#include "host/saver_window.h"
#include "support/engine_fixture.h"

// Newer than the Windows the sources are built for; the tests' platform has them.
#if WINVER < 0x0605
extern "C" {
DPI_AWARENESS_CONTEXT WINAPI SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT context);
DPI_AWARENESS_CONTEXT WINAPI GetThreadDpiAwarenessContext();
DPI_AWARENESS_CONTEXT WINAPI GetWindowDpiAwarenessContext(HWND window);
DPI_AWARENESS WINAPI GetAwarenessFromDpiAwarenessContext(DPI_AWARENESS_CONTEXT context);
BOOL WINAPI IsValidDpiAwarenessContext(DPI_AWARENESS_CONTEXT context);
}
#endif

namespace {

const wchar_t kHostTestClass[] = L"VornHostWindowTest";
const wchar_t kParentClass[] = L"VornPreviewParentTest";
constexpr UINT kCheckPreview = WM_APP + 1;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterTestClasses() {
    RegisterWindowClass(kHostTestClass, HostWindowProc, CS_OWNDC);
    RegisterWindowClass(kParentClass, ParentProc);
}

HWND MakeParent(DWORD visible, int width, int height) {
    return CreateWindowExW(0, kParentClass, L"Preview host", WS_POPUP | visible, 0, 0, width,
                           height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

int TakeQueued(HWND window, UINT message, MSG* last = nullptr) {
    MSG taken;
    int count = 0;
    while (PeekMessageW(&taken, window, message, message, PM_REMOVE)) {
        ++count;
        if (last) *last = taken;
    }
    return count;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    return title;
}

// What the pane showed while the preview ran.
struct PreviewSeen {
    std::wstring className, title;
    RECT client = {};
    bool previewMode = false;
    int spotSize = 0, intensity = 0;
    int bluePixels = 0, otherPixels = 0;
    int checks = 0;
    DPI_AWARENESS awareness = DPI_AWARENESS_INVALID;
} seen;

void LookAtPreview() {
    HWND pane = HostState.saverWindow;
    wchar_t name[64] = {};
    GetClassNameW(pane, name, 64);
    seen.className = name;
    seen.title = TitleOf(pane);
    GetClientRect(pane, &seen.client);
    seen.previewMode = HostState.previewMode;
    seen.awareness = GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(pane));
    seen.spotSize = Saver.spotSize;
    seen.intensity = Saver.intensity;
    seen.bluePixels = seen.otherPixels = 0;
    GdiFlush();
    const CImage& surface = Saver.surface;
    for (int y = 0; y < surface.imageHeight; ++y) {
        for (int x = 0; x < surface.imageWidth; ++x) {
            const BYTE* pixel = surface.Pixel(x, y);
            if (pixel[0]) ++seen.bluePixels;
            if (pixel[1] || pixel[2]) ++seen.otherPixels;
        }
    }
}

// Checks arrive from the ticker thread; the parent goes once the engine has
// run past its early restart and stamped, which ends the preview.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kCheckPreview) return DefWindowProcW(window, message, wParam, lParam);
    ++seen.checks;
    LookAtPreview();
    const bool stamped = Saver.frameCycle.earlyReinitDone && seen.bluePixels > 0;
    if (stamped || seen.checks > 200) DestroyWindow(window);
    return 0;
}

DWORD WINAPI Ticker(void* parent) {
    do
        Sleep(50);
    while (PostMessageW(static_cast<HWND>(parent), kCheckPreview, 0, 0));
    return 0;
}

class HostWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTestClasses();
        ResetEngine();
        StoreSettings(SettingsRecord());
        HostState = HostStateRecord();
        HostState.moduleInstance = GetModuleHandleW(nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        if (IsWindow(parent_)) DestroyWindow(parent_);
        window_ = parent_ = nullptr;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        UnregisterClassW(kSaverClassName, GetModuleHandleW(nullptr));
        HostState = HostStateRecord();
        ResetEngine();
    }

    // A hidden saver window of ours: full screen mode, or a preview child of
    // a hidden parent.
    void MakeWindow(bool preview, RECT place = {0, 0, 64, 48}) {
        HostState.previewMode = preview;
        if (preview) parent_ = MakeParent(0, 200, 150);
        window_ = CreateWindowExW(0, kHostTestClass, preview ? kPreviewTitle : kSaverTitle,
                                  preview ? WS_CHILD : WS_POPUP, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, parent_,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        TakeQueued(window_, WM_CLOSE);
    }

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
};

HWND restoredWindow = nullptr;
HANDLE restoredContext = nullptr;
HANDLE WINAPI RecordAssociate(HWND window, HANDLE context) {
    restoredWindow = window;
    restoredContext = context;
    return nullptr;
}

TEST_F(HostWindowTest, CreationAnchorsTheCursorDisconnectsTheInputMethodAndStartsTheEngine) {
    ASSERT_TRUE(SetCursorPos(333, 222));
    MakeWindow(false);
    EXPECT_EQ(HostState.cursorAnchor.x, 333);
    EXPECT_EQ(HostState.cursorAnchor.y, 222);
    EXPECT_EQ(Saver.width, 64);
    EXPECT_NE(Saver.windowDc, nullptr);
    HMODULE imm = GetModuleHandleW(L"IMM32.DLL");
    ASSERT_NE(imm, nullptr) << "the platform loads the input-method library itself";
    EXPECT_EQ(HostState.imeModule, imm);
    EXPECT_EQ(reinterpret_cast<void*>(HostState.imeAssociate),
              reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
    using GetContextProc = HANDLE(WINAPI*)(HWND);
    auto getContext = reinterpret_cast<GetContextProc>(
        reinterpret_cast<void*>(GetProcAddress(imm, "ImmGetContext")));
    ASSERT_NE(getContext, nullptr);
    EXPECT_EQ(getContext(window_), nullptr);
}

TEST_F(HostWindowTest, DestructionGivesTheInputContextBackAndEndsTheLoop) {
    MakeWindow(false);
    HostState.imeAssociate = RecordAssociate;
    HostState.savedImeContext = reinterpret_cast<HANDLE>(0x1234);
    TakeQueued(nullptr, WM_QUIT);
    DestroyWindow(window_);
    EXPECT_EQ(restoredWindow, window_);
    EXPECT_EQ(restoredContext, reinterpret_cast<HANDLE>(0x1234));
    MSG quit = {};
    EXPECT_EQ(TakeQueued(nullptr, WM_QUIT, &quit), 1);
    EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(HostWindowTest, TitleNeverChanges) {
    MakeWindow(false);
    EXPECT_EQ(SendMessageW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Other")), 0);
    EXPECT_FALSE(SetWindowTextW(window_, L"Other"));
    EXPECT_EQ(TitleOf(window_), kSaverTitle);
}

TEST_F(HostWindowTest, SystemCommands) {
    struct Row {
        const char* name;
        bool preview;
        WPARAM command;
        LPARAM lParam;
        int closesPosted;
        bool destroyed;
    };
    const Row rows[] = {
        {"next window", false, SC_NEXTWINDOW, 0, 0, false},
        {"previous window", false, SC_PREVWINDOW, 0, 0, false},
        {"screen saver", false, SC_SCREENSAVE, 0, 0, false},
        {"screen saver, low bits set", false, SC_SCREENSAVE | 0x3, 0, 0, false},
        {"monitor off", false, SC_MONITORPOWER, 2, 1, false},
        {"monitor low power, low bits set", false, SC_MONITORPOWER | 0x2, 1, 1, false},
        {"monitor off in preview", true, SC_MONITORPOWER, 2, 0, false},
        {"close is passed on", false, SC_CLOSE, 0, 0, true},
        {"close is passed on in preview", true, SC_CLOSE, 0, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MakeWindow(row.preview);
        const LRESULT answer = SendMessageW(window_, WM_SYSCOMMAND, row.command, row.lParam);
        if (!row.destroyed) {
            EXPECT_EQ(answer, 0);
        }
        EXPECT_EQ(TakeQueued(window_, WM_CLOSE), row.closesPosted);
        EXPECT_EQ(!IsWindow(window_), row.destroyed);
        TearDown();
        SetUp();
    }
}

TEST_F(HostWindowTest, PreviewForwardsHelpAndContextMenuToItsParent) {
    const LPARAM where = MAKELPARAM(10, 20);
    MakeWindow(true);
    EXPECT_EQ(SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), where), 1);
    MSG forwarded = {};
    ASSERT_EQ(TakeQueued(parent_, WM_CONTEXTMENU, &forwarded), 1);
    EXPECT_EQ(forwarded.wParam, reinterpret_cast<WPARAM>(parent_));
    EXPECT_EQ(forwarded.lParam, where);

    HELPINFO help = {sizeof(HELPINFO), HELPINFO_WINDOW, 0, window_, 0, {10, 20}};
    EXPECT_EQ(SendMessageW(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 1);
    TakeQueued(parent_, WM_HELP); // the platform may refuse to post a pointer
}

TEST_F(HostWindowTest, FullScreenPassesContextMenuOn) {
    MakeWindow(false);
    SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(1, 2));
    EXPECT_EQ(TakeQueued(nullptr, WM_CONTEXTMENU), 0);
}

TEST_F(HostWindowTest, PaintRunsAFrameUntilTheCloseIsApproved) {
    struct Row {
        const char* name;
        bool preview, approved;
        bool frameRuns, hidesCursor;
    };
    const Row rows[] = {
        {"full screen", false, false, true, true},
        {"preview", true, false, true, false},
        {"close approved", false, true, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MakeWindow(row.preview);
        HostState.closeApproved = row.approved;
        ASSERT_NE(Saver.pendingInit, 0);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        EXPECT_EQ(SendMessageW(window_, WM_PAINT, 0, 0), 0);
        EXPECT_EQ(Saver.pendingInit == 0, row.frameRuns);
        EXPECT_EQ(GetCursor() == nullptr, row.hidesCursor);
        TearDown();
        SetUp();
    }
}

// Any message but a paint may have run code that showed a cursor.
TEST_F(HostWindowTest, APaintHidesACursorShownSinceThePaintBefore) {
    MakeWindow(false);
    SendMessageW(window_, WM_PAINT, 0, 0);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(window_, WM_NULL, 0, 0);
    SendMessageW(window_, WM_PAINT, 0, 0);
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(HostWindowTest, InputReachesTheCloseRulesUntilTheCloseIsApproved) {
    struct Row {
        const char* name;
        UINT message;
        bool approved;
        int closesPosted;
    };
    const Row rows[] = {
        {"key", WM_KEYDOWN, false, 1},
        {"system key", WM_SYSKEYDOWN, false, 1},
        {"click", WM_LBUTTONDOWN, false, 1},
        {"right click", WM_RBUTTONDOWN, false, 1},
        {"middle click", WM_MBUTTONDOWN, false, 1},
        {"key, approved", WM_KEYDOWN, true, 0},
        {"click, approved", WM_LBUTTONDOWN, true, 0},
    };
    MakeWindow(false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostState.closeApproved = row.approved;
        SendMessageW(window_, row.message, 0, 0);
        EXPECT_EQ(TakeQueued(window_, WM_CLOSE), row.closesPosted);
    }
    HostState.closeApproved = false;
    EXPECT_EQ(SendMessageW(window_, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(SendMessageW(window_, WM_TIMER, 7, 0), 0);
}

// Windows sends WM_DISPLAYCHANGE to every top-level window when a monitor
// comes or goes or a mode changes; Wine 8 sends none, so it is sent here as
// Windows would (bits per pixel, the primary's width and height).
TEST_F(HostWindowTest, DisplayChangeCoversTheVirtualScreenAgain) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    struct Row {
        const char* name;
        bool preview;
        RECT place;
        bool moves;
    };
    const Row rows[] = {
        {"full screen over an old screen", false, {0, 0, 64, 48}, true},
        {"full screen already covering it", false, screen, false},
        {"preview", true, {0, 0, 64, 48}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MakeWindow(row.preview, row.place);
        RECT before, after;
        GetWindowRect(window_, &before);
        const HBITMAP picture = Saver.surface.bitmap;
        ASSERT_TRUE(SetCursorPos(300, 200));
        HostState.cursorAnchor = {1, 1};
        SendMessageW(window_, WM_DISPLAYCHANGE, 32,
                     MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
        GetWindowRect(window_, &after);
        EXPECT_TRUE(EqualRect(&after, row.preview ? &before : &screen));
        EXPECT_EQ(Saver.surface.bitmap != picture, row.moves);
        EXPECT_EQ(Saver.width, after.right - after.left);
        EXPECT_EQ(HostState.cursorAnchor.x, row.preview ? 1 : 300);
        EXPECT_EQ(HostState.cursorAnchor.y, row.preview ? 1 : 200);
        EXPECT_EQ(TakeQueued(window_, WM_CLOSE), 0);
        TearDown();
        SetUp();
    }
}

TEST_F(HostWindowTest, SecondFullScreenRunRaisesTheFirstAndMakesNothing) {
    WNDCLASSW other = {};
    other.lpfnWndProc = DefWindowProcW;
    other.hInstance = GetModuleHandleW(nullptr);
    other.lpszClassName = kSaverClassName;
    ASSERT_TRUE(RegisterClassW(&other));
    window_ = CreateWindowExW(0, kSaverClassName, kSaverTitle, WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    EXPECT_EQ(HostState.saverWindow, nullptr);
    EXPECT_EQ(Saver.windowDc, nullptr);
}

// A saver that cannot make its window ends with -1, not with the 0 of a
// normal close.
TEST_F(HostWindowTest, NoWindowEndsWithMinusOne) {
    const struct {
        const char* name;
        bool classTaken, preview, parentGone;
    } rows[] = {
        {"full screen, class already registered", true, false, false},
        {"preview, class already registered", true, true, false},
        {"preview whose pane is gone", false, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WNDCLASSW other = {};
        other.lpfnWndProc = DefWindowProcW;
        other.hInstance = GetModuleHandleW(nullptr);
        other.lpszClassName = kSaverClassName;
        if (row.classTaken) {
            ASSERT_TRUE(RegisterClassW(&other));
        }
        if (row.preview) parent_ = MakeParent(0, 200, 150);
        if (row.parentGone) DestroyWindow(parent_);
        EXPECT_EQ(RunSaverWindow(parent_), -1);
        EXPECT_EQ(HostState.saverWindow, nullptr);
        EXPECT_EQ(HostState.passwordModule, nullptr);
        TearDown();
        SetUp();
    }
}

// The whole preview path in a pane of 152 x 112: the loop runs the engine in
// a child titled "Preview" until the parent goes, and the picture builds up
// from blue stamps of the preview's size. The pane is DPI unaware, as another
// program's may be; the child takes its awareness.
TEST_F(HostWindowTest, PreviewRunInAPane) {
    seen = PreviewSeen();
    DPI_AWARENESS_CONTEXT own = SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    parent_ = MakeParent(WS_VISIBLE, 152, 112);
    SetThreadDpiAwarenessContext(own);
    RECT client;
    GetClientRect(parent_, &client);
    ASSERT_EQ(client.right, 152);
    ASSERT_EQ(client.bottom, 112);
    HANDLE ticker = CreateThread(nullptr, 0, Ticker, parent_, 0, nullptr);
    EXPECT_EQ(RunSaverWindow(parent_), 0);
    EXPECT_EQ(WaitForSingleObject(ticker, 10000), WAIT_OBJECT_0);
    CloseHandle(ticker);
    EXPECT_FALSE(IsWindow(parent_));
    EXPECT_EQ(seen.className, kSaverClassName);
    EXPECT_EQ(seen.title, kPreviewTitle);
    EXPECT_EQ(seen.client.right, 152);
    EXPECT_EQ(seen.client.bottom, 112);
    EXPECT_TRUE(seen.previewMode);
    EXPECT_EQ(seen.spotSize, 2);
    EXPECT_EQ(seen.intensity, 7);
    EXPECT_GE(seen.bluePixels, seen.spotSize * seen.spotSize);
    EXPECT_EQ(seen.otherPixels, 0);
    EXPECT_EQ(Saver.surface.imageWidth, 152);
    EXPECT_EQ(Saver.surface.imageHeight, 112);
    EXPECT_EQ(seen.awareness, DPI_AWARENESS_UNAWARE);
    SetThreadDpiAwarenessContext(own);
}

// Where a window that covered the saver goes away, a desktop without
// composition leaves the area uncovered invalid with erase and, for another
// thread's window, posts WM_SYNCPAINT, whose default handling asks for the
// erase at once. Wine keeps every window's contents itself, so these tests
// leave the damage that such a desktop leaves (a block painted over the
// window) and send what it sends.
class UncoveredAreaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterWindowClass(kHostTestClass, HostWindowProc, CS_OWNDC);
        RegisterWindowClass(kPaneClass, DefWindowProcW);
        ResetEngine();
        SettingsRecord unpaused;
        unpaused.Speed = 0;
        StoreSettings(unpaused);
        HostState = HostStateRecord();
        HostState.moduleInstance = GetModuleHandleW(nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        if (IsWindow(pane_)) DestroyWindow(pane_);
        window_ = pane_ = nullptr;
        dibSectionMaker = CreateDIBSection;
        HostState = HostStateRecord();
        ResetEngine();
    }

    // A visible saver window of 160 x 120 at the screen's corner, a few frames in.
    void Open(bool preview) {
        HostState.previewMode = preview;
        const DWORD shown = WS_VISIBLE | (preview ? WS_CHILD : WS_POPUP);
        if (preview)
            pane_ = CreateWindowExW(0, kPaneClass, L"Pane", WS_POPUP | WS_VISIBLE, 0, 0, 160, 120,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        window_ = CreateWindowExW(0, kHostTestClass, L"", shown, 0, 0, 160, 120, pane_, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        for (int frame = 0; frame < 400; ++frame)
            SendMessageW(window_, WM_PAINT, 0, 0);
    }

    // Another window's image left behind on ours.
    void LeaveImage(const RECT& area) {
        HDC dc = GetDC(window_);
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(window_, dc);
    }

    // What the system does once the covering window of another thread is gone.
    void Uncover(const RECT& area) {
        InvalidateRect(window_, &area, TRUE);
        SendMessageW(pane_ ? pane_ : window_, WM_SYNCPAINT, 0, 0);
    }

    // The window's pixels in the area, as 0x00RRGGBB.
    std::vector<DWORD> Shown(const RECT& area) {
        const int width = area.right - area.left, height = area.bottom - area.top;
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC copy = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(copy, bitmap);
        HDC dc = GetDC(window_);
        BitBlt(copy, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
        ReleaseDC(window_, dc);
        GdiFlush();
        std::vector<DWORD> pixels(static_cast<DWORD*>(bits),
                                  static_cast<DWORD*>(bits) + width * height);
        for (DWORD& pixel : pixels)
            pixel &= 0xFFFFFF;
        SelectObject(copy, old);
        DeleteObject(bitmap);
        DeleteDC(copy);
        return pixels;
    }

    // The picture's pixels in the area, as 0x00RRGGBB; black without a picture.
    std::vector<DWORD> Picture(const RECT& area) {
        std::vector<DWORD> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const BYTE* bgr = Saver.surface.bits ? Saver.surface.Pixel(x, y) : nullptr;
                pixels.push_back(bgr ? bgr[2] << 16 | bgr[1] << 8 | bgr[0] : 0);
            }
        return pixels;
    }

    static constexpr wchar_t kPaneClass[] = L"VornVisiblePane";
    HWND window_ = nullptr;
    HWND pane_ = nullptr;
};

HBITMAP WINAPI NoSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) {
    return nullptr;
}

TEST_F(UncoveredAreaTest, ShowsThePictureAgainAtOnce) {
    struct Row {
        const char* name;
        bool preview, surface;
    };
    const Row rows[] = {
        {"full screen", false, true},
        {"preview", true, true},
        {"full screen without a picture: black", false, false},
    };
    const RECT block = {20, 16, 140, 100};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.surface) dibSectionMaker = NoSection;
        Open(row.preview);
        const std::vector<DWORD> picture = Picture(block);
        if (row.surface) {
            ASSERT_EQ(Shown(block), picture) << "the window shows the picture to begin with";
            ASSERT_NE(std::count(picture.begin(), picture.end(), 0u), picture.size())
                << "the spot has passed through the block";
        }
        LeaveImage(block);
        ASSERT_NE(Shown(block), picture) << "the leftover is on screen";
        Uncover(block);
        EXPECT_EQ(Shown(block), picture);
        HDC dc = GetDC(window_);
        EXPECT_EQ(SendMessageW(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1)
            << "the background counts as erased";
        ReleaseDC(window_, dc);
        TearDown();
        SetUp();
    }
}

TEST_F(UncoveredAreaTest, WithoutAPictureAPhaseStartShowsBlackAndAKeyStillCloses) {
    dibSectionMaker = NoSection;
    Open(false);
    const RECT all = {0, 0, 160, 120};
    LeaveImage(all);
    Saver.pendingInit = Saver.switchKind; // the next frame starts a phase
    SendMessageW(window_, WM_PAINT, 0, 0);
    EXPECT_EQ(Shown(all), std::vector<DWORD>(160 * 120, 0u));
    SendMessageW(window_, WM_KEYDOWN, 'A', 0);
    MSG message;
    while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_FALSE(IsWindow(window_));
}

// Per monitor v2 where the system knows it, else system aware (so on Wine 8).
TEST(DialogAwareness, PerMonitorV2OrElseSystemAware) {
    DPI_AWARENESS_CONTEXT own = SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    UseDialogAwareness();
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              IsValidDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)
                  ? DPI_AWARENESS_PER_MONITOR_AWARE
                  : DPI_AWARENESS_SYSTEM_AWARE);
    SetThreadDpiAwarenessContext(own);
}

} // namespace
