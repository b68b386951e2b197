// The dialog templates and the manifest as built into Vorn.scr, and the swatch
// painting of the settings dialog, in-process on a hidden copy of the real
// template.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "engine/motions.h"
#include "host/host_state.h"
#include "resources/dialog_ids.h"
#include "dialog/dialog.h"
#include "support/engine_fixture.h"
#include "support/registry_doubles.h"

namespace {

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct Control {
    DWORD id;
    WORD classAtom;
    std::wstring text;
    short x, y, cx, cy;
    DWORD style;
};

struct Template {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    bool noMenu = false, defaultClass = false;
    std::wstring title, face;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::vector<Control> controls;
};

// Reads a DLGTEMPLATEEX. Class and menu fields are either 0, an ordinal
// (0xFFFF, value) or a string; here every class must be an ordinal.
class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : base_(data), at_(data) {}

    Template Read() {
        Template t;
        EXPECT_EQ(Word(), 1);      // version
        EXPECT_EQ(Word(), 0xFFFF); // extended template
        Dword();                   // help id
        t.exStyle = Dword();
        t.style = Dword();
        WORD count = Word();
        t.x = Short(), t.y = Short(), t.cx = Short(), t.cy = Short();
        t.noMenu = Word() == 0;
        t.defaultClass = Word() == 0;
        t.title = String();
        t.pointSize = Word();
        t.weight = Word();
        t.italic = *at_++;
        t.charset = *at_++;
        t.face = String();
        for (WORD i = 0; i < count; ++i)
            t.controls.push_back(ReadControl());
        return t;
    }

  private:
    Control ReadControl() {
        Align();
        Control c = {};
        Dword(); // help id
        EXPECT_EQ(Dword(), 0u) << "extended style";
        c.style = Dword();
        c.x = Short(), c.y = Short(), c.cx = Short(), c.cy = Short();
        c.id = Dword();
        EXPECT_EQ(Word(), 0xFFFF) << "class given by name";
        c.classAtom = Word();
        if (*reinterpret_cast<const WORD*>(at_) == 0xFFFF) {
            at_ += 4; // text as an ordinal: not used here
        } else {
            c.text = String();
        }
        at_ += Word(); // creation data
        return c;
    }
    WORD Word() {
        WORD value = *reinterpret_cast<const WORD*>(at_);
        at_ += 2;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword() {
        DWORD value = *reinterpret_cast<const DWORD*>(at_);
        at_ += 4;
        return value;
    }
    std::wstring String() {
        std::wstring text(reinterpret_cast<const wchar_t*>(at_));
        at_ += 2 * (text.size() + 1);
        return text;
    }
    void Align() { at_ = base_ + ((at_ - base_ + 3) & ~3); }

    const BYTE* base_;
    const BYTE* at_;
};

// The saver's resources, from the built program beside the tests.
HMODULE SaverResources() {
    static HMODULE module = [] {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring file(path);
        file = file.substr(0, file.find_last_of(L'\\'));
        file = file.substr(0, file.find_last_of(L'\\')) + L"\\Vorn.scr";
        return LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }();
    return module;
}

const BYTE* TemplateData(const wchar_t* name) {
    HMODULE module = SaverResources();
    HRSRC found = module ? FindResourceW(module, name, MAKEINTRESOURCEW(5)) : nullptr;
    return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
}

Template ReadTemplate(const wchar_t* name) {
    const BYTE* data = TemplateData(name);
    if (!data) {
        ADD_FAILURE() << "no template";
        return Template();
    }
    return TemplateReader(data).Read();
}

void ExpectHeader(const Template& t, const wchar_t* title, short cx, short cy) {
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                          DS_MODALFRAME | DS_CENTER | DS_SETFONT));
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_DLGMODALFRAME));
    EXPECT_EQ(t.x, 18);
    EXPECT_EQ(t.y, 18);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_TRUE(t.noMenu);
    EXPECT_TRUE(t.defaultClass);
    EXPECT_EQ(t.title, title);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, 0);
    EXPECT_EQ(t.face, L"MS Sans Serif");
}

void ExpectControls(const Template& t, const std::vector<Control>& expected) {
    ASSERT_EQ(t.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control &got = t.controls[i], &want = expected[i];
        SCOPED_TRACE(testing::Message() << "control #" << i + 1);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.classAtom, want.classAtom);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style, kChild | want.style);
    }
}

// A motion after the first six has its button right after "Random", inside
// the "Algorithm" box; its label and place are its own.
void AddLaterMotionButtons(const Template& t, std::vector<Control>& expected) {
    auto at = expected.begin();
    while (at != expected.end() && at->id != IDC_ALGORITHM_FIRST + kRandomAlgorithm)
        ++at;
    for (int row = kRandomAlgorithm; row < kMotionCount && at != expected.end(); ++row) {
        const size_t index = static_cast<size_t>(++at - expected.begin());
        const Control got = index < t.controls.size() ? t.controls[index] : Control();
        const DWORD id = static_cast<DWORD>(IDC_ALGORITHM_FIRST + AlgorithmOfRow(row));
        at = expected.insert(
            at, {id, kButton, got.text, got.x, got.y, got.cx, got.cy, BS_AUTORADIOBUTTON});
        EXPECT_FALSE(got.text.empty()) << "row " << row;
        EXPECT_TRUE(got.x >= 3 && got.y >= 3 && got.x + got.cx <= 104 && got.y + got.cy <= 90)
            << "row " << row << " outside the Algorithm box";
    }
}

TEST(DialogTemplate, SettingsDialogHasEveryControlInOrder) {
    Template t = ReadTemplate(MAKEINTRESOURCEW(2003));
    ExpectHeader(t, L"Settings Vorn", 258, 111);
    const DWORD push = WS_TABSTOP | BS_PUSHBUTTON, box = WS_TABSTOP | BS_AUTOCHECKBOX;
    const DWORD edit = WS_BORDER | WS_TABSTOP | ES_LEFT, label = WS_GROUP | SS_LEFT;
    const DWORD radio = BS_AUTORADIOBUTTON, first = WS_GROUP | BS_AUTORADIOBUTTON;
    std::vector<Control> expected = {
        {1, kButton, L"Ok", 114, 93, 50, 14, push},
        {2, kButton, L"Cancel", 199, 93, 51, 14, push},
        {200, kEdit, L"", 151, 12, 36, 15, edit},
        {201, kEdit, L"", 151, 39, 37, 15, edit},
        {203, kStatic, L"Showtime", 115, 15, 34, 9, label},
        {0, kButton, L"Algorithm", 3, 3, 101, 87, WS_GROUP | BS_GROUPBOX},
        {204, kStatic, L"Delay (ms)", 115, 41, 35, 9, label},
        {402, kButton, L"Properties", 107, 3, 86, 86, BS_GROUPBOX},
        {306, kButton, L"Color...", 111, 58, 35, 14, push},
        {307, kStatic, L"", 151, 59, 35, 12, SS_SIMPLE | SS_SUNKEN},
        {403, kButton, L"About...", 20, 93, 60, 14, push},
        {1000, kButton, L"Random Linear", 9, 11, 62, 10, first},
        {1005, kButton, L"Random Angle", 9, 22, 62, 10, radio},
        {1001, kButton, L"Random Point", 9, 33, 85, 10, radio},
        {1002, kButton, L"Horizontal Sine", 9, 44, 63, 10, radio},
        {1003, kButton, L"Circular Bounce", 9, 55, 66, 10, radio},
        {1004, kButton, L"Polar Coordinates", 9, 65, 71, 10, radio},
        {1006, kButton, L"Random", 9, 75, 43, 10, radio},
        {600, kButton, L"Infinity", 130, 28, 36, 10, box},
        {601, kButton, L"Rainbow", 130, 76, 44, 10, box},
        {0xFFFFFFFF, kButton, L"Mode", 197, 3, 57, 86, BS_GROUPBOX},
        {4000, kButton, L"Color Linux", 201, 18, 51, 10, first},
        {4001, kButton, L"Color", 201, 29, 32, 10, radio},
        {4002, kButton, L"Linux", 201, 40, 33, 10, radio},
        {1009, kButton, L"Round", 207, 57, 37, 10, box},
        {1010, kButton, L"New", 71, 17, 27, 10, box},
        {1011, kButton, L"FPS/time", 207, 69, 41, 10, box},
    };
    AddLaterMotionButtons(t, expected);
    ExpectControls(t, expected);
}

TEST(DialogTemplate, AboutBoxHasItsFiveControls) {
    Template t = ReadTemplate(L"ABOUT");
    ExpectHeader(t, L"About Vorn", 113, 74);
    ASSERT_EQ(t.controls.size(), 5u);
    const DWORD label = WS_GROUP | SS_LEFT;
    // The two credit lines are free text; everything else is fixed.
    ExpectControls(t, {
                          {1, kButton, L"Ok", 30, 55, 50, 14, WS_TABSTOP | BS_PUSHBUTTON},
                          {201, kStatic, L"Vorn v2.1", 40, 20, 32, 8, label},
                          {204, kStatic, t.controls[2].text, 9, 42, 87, 8, label},
                          {202, kStatic, L"Screensaver", 35, 10, 41, 8, label},
                          {203, kStatic, t.controls[4].text, 15, 31, 83, 8, label},
                      });
    EXPECT_FALSE(t.controls[2].text.empty());
    EXPECT_FALSE(t.controls[4].text.empty());
}

// The awareness that Wine cannot show: the manifest built into the saver asks
// for per monitor v2, with the older forms in the namespaces that read them.
TEST(SaverManifest, AsksForPerMonitorAwarenessWithFallbacks) {
    HMODULE module = SaverResources();
    HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(data, SizeofResource(module, found));
    for (const char* setting :
         {"SMI/2005/WindowsSettings\">true/pm</dpiAware>",
          "SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"})
        EXPECT_NE(manifest.find(setting), std::string::npos) << setting;
}

// The settings dialog from the real template, made hidden so that it can be
// painted on demand and destroyed at once.
class SettingsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        HostState.moduleInstance = GetModuleHandleW(nullptr);
        DeleteSettingsKey();
        Settings = SettingsRecord();
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        DeleteSettingsKey();
    }

    HWND OpenHidden() {
        HRSRC found = FindResourceW(SaverResources(), MAKEINTRESOURCEW(2003), MAKEINTRESOURCEW(5));
        DWORD size = found ? SizeofResource(SaverResources(), found) : 0;
        const BYTE* data = TemplateData(MAKEINTRESOURCEW(2003));
        if (!data) return nullptr;
        copy_.assign(data, data + size);
        reinterpret_cast<DWORD*>(copy_.data())[3] &= ~static_cast<DWORD>(WS_VISIBLE);
        dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(copy_.data()),
                                             nullptr, SettingsDialogProc, 0);
        return dialog_;
    }

    // Paints the swatch as the control would on screen and counts its client
    // pixels of the given colour.
    int SwatchPixelsOf(COLORREF color, int* total) {
        HWND swatch = GetDlgItem(dialog_, IDC_SWATCH);
        RECT area;
        GetClientRect(swatch, &area);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = area.right;
        info.bmiHeader.biHeight = -area.bottom; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageW(swatch, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const DWORD want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        int matching = 0;
        *total = area.right * area.bottom;
        for (int i = 0; i < *total; ++i)
            if ((static_cast<DWORD*>(bits)[i] & 0xFFFFFF) == want) ++matching;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return matching;
    }

    HWND dialog_ = nullptr;
    std::vector<BYTE> copy_;
};

TEST_F(SettingsDialogTest, ShowsTheCurrentColorOverItsWholeClientArea) {
    SettingsRecord stored;
    stored.Color = 0x00336699;
    StoreSettings(stored);
    ASSERT_NE(OpenHidden(), nullptr);
    int total = 0;
    EXPECT_EQ(SwatchPixelsOf(0x00336699, &total), total);
    EXPECT_GT(total, 0);
    Settings.Color = 0x00FFFFFF; // as after the colour chooser
    EXPECT_EQ(SwatchPixelsOf(0x00FFFFFF, &total), total);
}

// What the control is given to paint with: a brush and a background colour
// of the current colour, the brush kept until the colour changes or the
// dialog ends.
TEST_F(SettingsDialogTest, HandsTheControlABrushKeptUntilTheColorChangesOrTheDialogEnds) {
    ASSERT_NE(OpenHidden(), nullptr);
    HWND swatch = GetDlgItem(dialog_, IDC_SWATCH);
    HDC dc = GetDC(swatch);
    auto ask = [&] {
        return reinterpret_cast<HBRUSH>(SendMessageW(dialog_, WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(swatch)));
    };
    Settings.Color = 0x00336699;
    HBRUSH first = ask();
    LOGBRUSH made = {};
    ASSERT_EQ(GetObjectW(first, sizeof(made), &made), static_cast<int>(sizeof(made)));
    EXPECT_EQ(made.lbColor, 0x00336699u);
    EXPECT_EQ(GetBkColor(dc), 0x00336699u);
    EXPECT_EQ(ask(), first);
    Settings.Color = 0x00FFFFFF;
    HBRUSH second = ask();
    EXPECT_EQ(GetObjectType(first), 0u) << "the old colour's brush is deleted";
    ReleaseDC(swatch, dc);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
    EXPECT_EQ(GetObjectType(second), 0u) << "deleted with the dialog";
}

// Each fill releases its brush: with the process's GDI handle table nearly
// full, a leak would stop the fill after a few repaints.
TEST_F(SettingsDialogTest, RepaintsDoNotLeakBrushes) {
    ASSERT_NE(OpenHidden(), nullptr);
    std::vector<HBRUSH> ballast;
    for (HBRUSH b; ballast.size() < 100000 && (b = CreateSolidBrush(0x10101));)
        ballast.push_back(b);
    for (int i = 0; i < 50 && !ballast.empty(); ++i) { // room for the painting itself
        DeleteObject(ballast.back());
        ballast.pop_back();
    }
    int total = 0, shown = 0;
    for (int i = 0; i < 200; ++i) {
        Settings.Color = RGB(i, 255 - i, 7);
        shown = SwatchPixelsOf(Settings.Color, &total);
        if (shown != total) break;
    }
    for (HBRUSH b : ballast)
        DeleteObject(b);
    EXPECT_EQ(shown, total);
}

// Under per-monitor awareness Windows' dialog manager scales the template's
// controls at a DPI change, not the up-down controls made at run time. Wine
// rejects that awareness, so the test scales the template's controls as the
// dialog manager would, inside the WM_DPICHANGED that Windows sends.
TEST_F(SettingsDialogTest, UpDownsSitOnTheirEditsAfterADpiChange) {
    ASSERT_NE(OpenHidden(), nullptr);
    auto rectOf = [this](HWND control) {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    struct Pair {
        HWND upDown, edit;
        RECT upDownRect, editRect;
    };
    std::vector<Pair> pairs;
    for (HWND upDown = nullptr;
         (upDown = FindWindowExW(dialog_, upDown, UPDOWN_CLASSW, nullptr));) {
        HWND edit = reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0));
        pairs.push_back({upDown, edit, rectOf(upDown), rectOf(edit)});
    }
    ASSERT_EQ(pairs.size(), 2u);
    // What each up-down took from the width its edit has in the template.
    const Template t = ReadTemplate(MAKEINTRESOURCEW(2003));
    auto roomOf = [&](const Pair& pair) {
        for (const Control& c : t.controls) {
            if (c.id != static_cast<DWORD>(GetDlgCtrlID(pair.edit))) continue;
            RECT full = {c.x, c.y, c.x + c.cx, c.y + c.cy};
            MapDialogRect(dialog_, &full);
            return full.right - pair.editRect.right;
        }
        return 0L;
    };

    RECT suggested = {0, 0, 600, 300};
    SendMessageW(dialog_, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    auto scaled = [](LONG v) { return MulDiv(v, 144, 96); };
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (std::wstring(name) == UPDOWN_CLASSW) continue;
        const RECT r = rectOf(child);
        SetWindowPos(child, nullptr, scaled(r.left), scaled(r.top),
                     scaled(r.right) - scaled(r.left), scaled(r.bottom) - scaled(r.top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    MSG message;
    while (PeekMessageW(&message, dialog_, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);

    for (const Pair& was : pairs) {
        const LONG room = roomOf(was);
        ASSERT_GT(room, 0);
        const RECT upDown = rectOf(was.upDown), edit = rectOf(was.edit);
        EXPECT_EQ(edit.left, scaled(was.editRect.left));
        EXPECT_EQ(edit.right + room, scaled(was.editRect.right + room))
            << "the edit keeps its share of the scaled width";
        EXPECT_EQ(upDown.left - edit.right, was.upDownRect.left - was.editRect.right);
        EXPECT_EQ(upDown.top - edit.top, was.upDownRect.top - was.editRect.top);
        EXPECT_EQ(upDown.bottom - edit.bottom, was.upDownRect.bottom - was.editRect.bottom);
    }
}

HWND WINAPI NoUpDown(DWORD, int, int, int, int, HWND, int, HINSTANCE, HWND, int, int, int) {
    return nullptr;
}

// Without its arrows an edit still shows the stored number, which "Ok" would
// otherwise replace by 0.
TEST_F(SettingsDialogTest, WithoutUpDownsTheEditsStillHoldTheStoredNumbers) {
    SettingsRecord stored;
    stored.Showtime = 300;
    stored.Speed = -25;
    StoreSettings(stored);
    upDownMaker = NoUpDown;
    HWND opened = OpenHidden();
    upDownMaker = CreateUpDownControl;
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog_, IDC_SHOWTIME, nullptr, TRUE)), 300);
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog_, IDC_SPEED, nullptr, TRUE)), 20);
}

// What a screen reader says for each control, in z-order: the name oleacc
// gives each control's client object. Wine answers "client" for every
// button's role, so names are tested, not roles.
TEST_F(SettingsDialogTest, ScreenReadersCanNameEveryControl) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    ASSERT_NE(OpenHidden(), nullptr);
    std::vector<std::pair<int, std::wstring>> named;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        IAccessible* object = nullptr;
        std::wstring name = L"(no object)";
        // __uuidof: the oleacc import library's IID_IAccessible is a code stub.
        if (AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&object)) == S_OK) {
            VARIANT self;
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR text = nullptr;
            name = object->get_accName(self, &text) == S_OK && text ? text : L"(none)";
            SysFreeString(text);
            object->Release();
        }
        named.emplace_back(GetDlgCtrlID(child), name);
    }
    CoUninitialize();
    // Each edit after its label; the up-down arrows (200, 201 too) come last.
    const std::vector<std::pair<int, std::wstring>> expected = {
        {1, L"Ok"},
        {2, L"Cancel"},
        {203, L"Showtime"},
        {200, L"Showtime"},
        {204, L"Delay (ms)"},
        {201, L"Delay (ms)"},
        {0, L"Algorithm"},
        {402, L"Properties"},
        {306, L"Color..."},
        {307, L"Color: red 0, green 0, blue 255"},
        {403, L"About..."},
        {1000, L"Random Linear"},
        {1005, L"Random Angle"},
        {1001, L"Random Point"},
        {1002, L"Horizontal Sine"},
        {1003, L"Circular Bounce"},
        {1004, L"Polar Coordinates"},
        {1006, L"Random"},
        {600, L"Infinity"},
        {601, L"Rainbow"},
        {-1, L"Mode"},
        {4000, L"Color Linux"},
        {4001, L"Color"},
        {4002, L"Linux"},
        {1009, L"Round"},
        {1010, L"New"},
        {1011, L"FPS/time"},
        {200, L"(none)"},
        {201, L"(none)"},
    };
    EXPECT_EQ(named, expected);
}

// The labels moved before their edits are no tab stops: Tab runs through the
// controls in the template's order, the checked radio button of each group
// included, and back to the first.
TEST_F(SettingsDialogTest, TabVisitsTheControlsInTheTemplatesOrder) {
    ASSERT_NE(OpenHidden(), nullptr);
    HWND first = GetDlgItem(dialog_, IDOK);
    std::vector<int> visited = {GetDlgCtrlID(first)};
    for (HWND at = GetNextDlgTabItem(dialog_, first, FALSE);
         at && at != first && visited.size() < 40; at = GetNextDlgTabItem(dialog_, at, FALSE))
        visited.push_back(GetDlgCtrlID(at));
    EXPECT_EQ(visited,
              (std::vector<int>{1, 2, 200, 201, 306, 403, 1006, 600, 601, 4000, 1009, 1010, 1011}));
}

// An arrow key as the dialog's message loop hands it over, from the control
// that has the focus; returns the control that has it then. Windows' dialog
// manager never gives a static control the focus but moves on past it; Wine's
// gives it the focus, so the key goes on from there, as on Windows.
int PressArrow(HWND dialog, UINT key) {
    HWND from = GetFocus();
    do {
        MSG message = {GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        IsDialogMessageW(dialog, &message);
    } while (GetFocus() != from && (SendMessageW(GetFocus(), WM_GETDLGCODE, 0, 0) & DLGC_STATIC));
    return GetDlgCtrlID(GetFocus());
}

// The labels moved before their edits join the edits' group: the arrow keys
// move in the template's groups, and from "Ok" reach the Showtime box. "Ok"
// stays the default button.
TEST_F(SettingsDialogTest, ArrowKeysMoveInTheTemplatesGroups) {
    ASSERT_NE(OpenHidden(), nullptr);
    std::vector<std::vector<int>> groups;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (groups.empty() || (GetWindowLongPtrW(child, GWL_STYLE) & WS_GROUP))
            groups.emplace_back();
        groups.back().push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(groups, (std::vector<std::vector<int>>{
                          {1, 2, 203, 200, 204, 201},
                          {0},
                          {402, 306, 307, 403},
                          {1000, 1005, 1001, 1002, 1003, 1004, 1006, 600, 601, -1},
                          {4000, 4001, 4002, 1009, 1010, 1011, 200, 201}, // with the up-downs
                      }));
    EXPECT_EQ(SendMessageW(dialog_, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

    const struct {
        int from;
        UINT key;
        int to;
    } presses[] = {
        {IDOK, VK_DOWN, IDCANCEL},
        {IDCANCEL, VK_DOWN, IDC_SHOWTIME},
        {IDC_SHOWTIME, VK_DOWN, IDC_SHOWTIME}, // an edit keeps the arrow keys
        {IDOK, VK_RIGHT, IDCANCEL},
        {IDCANCEL, VK_RIGHT, IDC_SHOWTIME},
        {IDCANCEL, VK_UP, IDOK},
        {IDC_SPEED, VK_UP, IDC_SPEED},
    };
    for (const auto& press : presses) {
        SetFocus(GetDlgItem(dialog_, press.from));
        EXPECT_EQ(PressArrow(dialog_, press.key), press.to) << press.from << " key " << press.key;
    }
}

// "Ok" writes every value; one that cannot be stored is named to the user
// and the dialog stays open, so the user can try again or leave with
// "Cancel". The dialog runs modally, driven by a timer of the thread.
std::vector<std::wstring> toldUser;
int presses = 0;

int WINAPI RecordMessage(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    toldUser.push_back(std::wstring(caption) + L" | " + text +
                       (type == (MB_OK | MB_ICONERROR) ? L"" : L" | another type"));
    return IDOK;
}

// First "Ok", then "Cancel" for a dialog still open.
void CALLBACK PressOkThenCancel(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowW(nullptr, L"Settings Vorn");
    if (!dialog) return;
    SendMessageW(dialog, WM_COMMAND, presses++ == 0 ? IDOK : IDCANCEL, 0);
}

TEST_F(SettingsDialogTest, OkTellsWhichValuesCouldNotBeStoredAndStaysOpen) {
    const struct {
        const char* name;
        std::vector<std::wstring> refused;
        bool noKey;
        INT_PTR result;
        std::vector<std::wstring> told;
    } rows[] = {
        {"all stored: the dialog ends with 1", {}, false, 1, {}},
        {"two refused: named, then Cancel",
         {L"FPS", L"Speed"},
         false,
         0,
         {L"Settings Vorn | These settings could not be stored: Delay (ms), FPS/time."}},
        {"no key: all named",
         {},
         true,
         0,
         {L"Settings Vorn | These settings could not be stored: Algorithm, Mode, Infinity, "
          L"Rainbow, Delay (ms), Showtime, Color, Round, New, FPS/time."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        StoreSettings(SettingsRecord());
        refusedWrites = row.refused;
        toldUser.clear();
        presses = 0;
        registryValueWriter = RecordWrite;
        registryKeyMaker = row.noKey ? NoKey : RegCreateKeyExW;
        settingsMessageBox = RecordMessage;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, PressOkThenCancel);
        const INT_PTR result = DialogBoxIndirectParamW(
            GetModuleHandleW(nullptr),
            reinterpret_cast<LPCDLGTEMPLATEW>(TemplateData(MAKEINTRESOURCEW(2003))), nullptr,
            SettingsDialogProc, 0);
        KillTimer(nullptr, timer);
        registryValueWriter = RegSetValueExW;
        registryKeyMaker = RegCreateKeyExW;
        settingsMessageBox = MessageBoxW;
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(toldUser, row.told);
    }
}

} // namespace
