// Drives the real settings dialog of Vorn.scr the way a user would: starts
// "Vorn.scr /c", finds the dialog by its title, clicks buttons, types into
// the edits, and checks the exit code and what landed in the registry.
//
//   dialog_driver cases <Vorn.scr>
//       runs every case; prints one line per case; exit code = failures.
//   dialog_driver pose <settings|about|color> <Vorn.scr> <signal file> [BBGGRR]
//       opens the dialog (and the About box, or picks the colour in the
//       colour chooser), prints "swatch x y w h", "name <the swatch's
//       text>" and "window x y w h" in screen pixels, then "ready", waits until the signal file
//       exists and cancels. Used for screenshots.
#include <windows.h>

#include <colordlg.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/motions.h"
#include "resources/dialog_ids.h"
#include "settings/settings.h"

namespace {

const DWORD kWaitMs = 20000; // bound for every wait on the other process

// The stored values in the order of the settings table.
struct Stored {
    DWORD v[kSettingCount];
};
Stored Defaults() {
    Stored values;
    for (int i = 0; i < kSettingCount; ++i)
        values.v[i] = kSettingRows[i].defaultValue;
    return values;
}
const Stored kDefaults = Defaults();

std::wstring saverPath;
int failures = 0;
std::string failureText; // first failure of the running case

void Fail(const char* what, long long got, long long expected) {
    if (!failureText.empty()) return;
    char line[200];
    snprintf(line, sizeof(line), "%s: got %lld, expected %lld", what, got, expected);
    failureText = line;
}

bool Expect(bool ok, const char* what) {
    if (!ok && failureText.empty()) failureText = what;
    return ok;
}

void ExpectEq(long long got, long long expected, const char* what) {
    if (got != expected) Fail(what, got, expected);
}

// ---- registry ----

void DeleteKey() {
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKeyPath);
}

void Store(const Stored& values) {
    DeleteKey();
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, const_cast<wchar_t*>(kSettingsKeyClass),
                    0, KEY_WRITE, nullptr, &key, nullptr);
    for (int i = 0; i < kSettingCount; ++i)
        RegSetValueExW(key, kSettingRows[i].name, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&values.v[i]), 4);
    RegCloseKey(key);
}

// How a value is stored: as the DWORD it should be, or in a wrong form.
enum Form { kDword, kText, kBinary2, kBinary8, kQword, kEmpty };

// Stores the values, then stores again in its form each one with another.
void StoreForms(const Stored& values, const Form (&forms)[kSettingCount]) {
    Store(values);
    const wchar_t text[] = L"12345678901234567890";
    const BYTE bytes[8] = {5, 0, 0, 0, 9, 9, 9, 9};
    const struct {
        DWORD type;
        const void* data;
        DWORD size;
    } wrong[] = {{REG_DWORD, nullptr, 0}, {REG_SZ, text, sizeof(text)}, {REG_BINARY, bytes, 2},
                 {REG_BINARY, bytes, 8},  {REG_QWORD, bytes, 8},        {REG_DWORD, nullptr, 0}};
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_WRITE, &key);
    for (int i = 0; i < kSettingCount; ++i)
        if (forms[i] != kDword)
            RegSetValueExW(key, kSettingRows[i].name, 0, wrong[forms[i]].type,
                           static_cast<const BYTE*>(wrong[forms[i]].data), wrong[forms[i]].size);
    RegCloseKey(key);
}

// Reads all ten values; a missing or mistyped value reads as 0xDEADBEEF.
Stored Load(DWORD* valueCount = nullptr, FILETIME* written = nullptr) {
    Stored values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        key = 0;
    for (int i = 0; i < kSettingCount; ++i) {
        DWORD type = 0, size = 4, value = 0;
        bool ok = key && RegQueryValueExW(key, kSettingRows[i].name, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
        values.v[i] = (ok && type == REG_DWORD && size == 4) ? value : 0xDEADBEEF;
    }
    if (key) {
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, valueCount,
                         nullptr, nullptr, nullptr, written);
        RegCloseKey(key);
    }
    return values;
}

void ExpectStored(const Stored& expected) {
    DWORD count = 0;
    Stored got = Load(&count);
    ExpectEq(count, kSettingCount, "number of stored values");
    for (int i = 0; i < kSettingCount; ++i) {
        char what[64];
        snprintf(what, sizeof(what), "stored %ls", kSettingRows[i].name);
        ExpectEq(static_cast<long>(got.v[i]), static_cast<long>(expected.v[i]), what);
    }
}

// ---- windows of the other process ----

bool WaitFor(const std::function<bool()>& condition) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

struct OwnedSearch {
    HWND owner;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    wchar_t className[32] = {}, title[64] = {};
    GetClassNameW(window, className, 32);
    GetWindowTextW(window, title, 64);
    if (wcscmp(className, L"#32770") == 0 && GetWindow(window, GW_OWNER) == search->owner &&
        IsWindowVisible(window) && (!search->title || wcscmp(title, search->title) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog owned by `owner` (the About box, the colour chooser).
HWND FindOwnedDialog(HWND owner, const wchar_t* title) {
    HWND found = nullptr;
    WaitFor([&] {
        OwnedSearch search = {owner, title, nullptr};
        EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
        found = search.found;
        return found != nullptr;
    });
    return found;
}

// Keys as the dialog's own message loop sees them: at the focused window,
// once the focus is in this dialog (a box that has just appeared may not
// have taken it yet, and a key to its owner would go astray).
void PressKey(HWND dialog, WORD key) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    WaitFor([&] {
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        return info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus);
    });
    HWND target = info.hwndFocus ? info.hwndFocus : dialog;
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, key, scan | 1);
    PostMessageW(target, WM_KEYUP, key, scan | 1 | 0xC0000000);
}

// One run of "Vorn.scr /c" with its settings dialog.
struct Session {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;

    bool Open(const wchar_t* arguments = L"/c") {
        std::wstring line = L"\"" + saverPath + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return Expect(false, "cannot start Vorn.scr");
        WaitFor([&] {
            HWND window = FindWindowW(L"#32770", L"Settings Vorn");
            DWORD owner = 0;
            if (window) GetWindowThreadProcessId(window, &owner);
            if (owner == process.dwProcessId && IsWindowVisible(window)) dialog = window;
            return dialog != nullptr;
        });
        WaitForInputIdle(process.hProcess, kWaitMs);
        return Expect(dialog != nullptr, "settings dialog did not appear");
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    // For buttons whose handler runs a modal loop of its own.
    void PostClick(int id) const { PostMessageW(Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Type(int id, const wchar_t* text) const {
        SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    std::wstring Text(int id) const {
        wchar_t text[64] = {};
        SendMessageW(Item(id), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
        return text;
    }

    // The exit code once the process has ended; -2 if it does not end.
    long Finish() {
        long code = -2;
        if (WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0) {
            DWORD exitCode = 0;
            GetExitCodeProcess(process.hProcess, &exitCode);
            code = static_cast<long>(exitCode);
        } else {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, kWaitMs);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        process = {};
        return code;
    }

    void FinishWith(long expected) { ExpectEq(Finish(), expected, "exit code"); }

    ~Session() {
        if (process.hProcess) Finish();
    }
};

// ---- the cases ----

// Which of the motion buttons are checked, as Algorithm values.
std::vector<int> CheckedAlgorithms(const Session& s) {
    std::vector<int> checked;
    for (int id = IDC_ALGORITHM_FIRST; id <= IDC_ALGORITHM_FIRST + kLastAlgorithm; ++id)
        if (s.Checked(id)) checked.push_back(id - IDC_ALGORITHM_FIRST);
    return checked;
}

std::vector<int> CheckedModes(const Session& s) {
    std::vector<int> checked;
    for (int id = IDC_MODE_FIRST; id <= IDC_MODE_LAST; ++id)
        if (s.Checked(id)) checked.push_back(id - IDC_MODE_FIRST);
    return checked;
}

// The controls show what is stored: edits, boxes and the one radio button of
// each group (none for a value outside its group).
void ExpectShown(const Session& s, const Stored& stored) {
    Expect(s.Text(IDC_SHOWTIME) == std::to_wstring(stored.v[0]), "Showtime edit text");
    Expect(s.Text(IDC_SPEED) == std::to_wstring(stored.v[1]), "Speed edit text");
    const int boxes[5][2] = {
        {IDC_INFINITY, 3}, {IDC_RAINBOW, 5}, {IDC_ROUND, 7}, {IDC_LINENEW, 8}, {IDC_FPS, 9}};
    for (auto& box : boxes)
        ExpectEq(s.Checked(box[0]), stored.v[box[1]] != 0, "check box state");
    std::vector<int> algorithms = CheckedAlgorithms(s), modes = CheckedModes(s);
    LONG algorithm = static_cast<LONG>(stored.v[2]), mode = static_cast<LONG>(stored.v[6]);
    if (algorithm >= 0 && algorithm <= kLastAlgorithm)
        Expect(algorithms == std::vector<int>{algorithm}, "motion button checked");
    else
        Expect(algorithms.empty(), "no motion button checked");
    if (mode >= 0 && mode <= 2)
        Expect(modes == std::vector<int>{mode}, "mode button checked");
    else
        Expect(modes.empty(), "no mode button checked");
}

// "Ok" untouched stores what was loaded, flags as exactly 0 or 1.
void OkStoresTheLoadedValues() {
    const Stored cases[][2] = {
        {{{180, 10, 5, 2, 0x00123456, 2, 1, 2, 2, 2}},
         {{180, 10, 5, 1, 0x00123456, 1, 1, 1, 1, 1}}},
        {{{999, 0, 1, 0, 0x00FFFFFF, 0, 2, 0, 0, 0}}, {{999, 0, 1, 0, 0x00FFFFFF, 0, 2, 0, 0, 0}}},
        {{{1, 999, 0, 7, 0, 0, 0, 1, 0, 1}}, {{1, 999, 0, 1, 0, 0, 0, 1, 0, 1}}},
    };
    for (auto& c : cases) {
        Store(c[0]);
        Session s;
        if (!s.Open()) return;
        ExpectShown(s, c[0]);
        s.Click(IDOK);
        s.FinishWith(1);
        ExpectStored(c[1]);
    }
}

// "Random Angle" stands second from the top although its identifier is 1005.
void RandomAngleIsSecondFromTheTop() {
    Stored stored = kDefaults;
    stored.v[2] = 5;
    Store(stored);
    Session s;
    if (!s.Open()) return;
    Expect(CheckedAlgorithms(s) == std::vector<int>{5}, "Algorithm 5 checks Random Angle");
    RECT first, second, third;
    GetWindowRect(s.Item(1000), &first);
    GetWindowRect(s.Item(1005), &second);
    GetWindowRect(s.Item(1001), &third);
    Expect(first.top < second.top && second.top < third.top, "Random Angle is second");
    wchar_t label[32] = {};
    GetWindowTextW(s.Item(1005), label, 32);
    Expect(wcscmp(label, L"Random Angle") == 0, "label of 1005");
    GetWindowTextW(s.Item(1001), label, 32);
    Expect(wcscmp(label, L"Random Point") == 0, "label of 1001");
    s.Click(IDCANCEL);
    s.FinishWith(0);
}

// Cancel, Escape and the close box store nothing, whatever was changed.
void CancelStoresNothing() {
    // Values that any save would change (the load corrects them in memory).
    const Stored stored = {{1500, 2000, 3, 2, 0x00ABCDEF, 2, 1, 2, 2, 2}};
    const int ways = 3;
    for (int way = 0; way < ways; ++way) {
        Store(stored);
        FILETIME before = {}, after = {};
        Load(nullptr, &before);
        Sleep(20);
        Session s;
        if (!s.Open()) return;
        s.Click(IDC_INFINITY);
        s.Click(1002);
        s.Click(4002);
        s.Type(IDC_SHOWTIME, L"42");
        if (way == 0) s.Click(IDCANCEL);
        if (way == 1) PressKey(s.dialog, VK_ESCAPE);
        if (way == 2) PostMessageW(s.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        s.FinishWith(0);
        ExpectStored(stored);
        Load(nullptr, &after);
        Expect(CompareFileTime(&before, &after) == 0, "key written on cancel");
    }
    // First run: opening stores the defaults; Cancel adds nothing to them.
    DeleteKey();
    Session s;
    if (!s.Open()) return;
    ExpectShown(s, kDefaults);
    s.Click(IDC_ROUND);
    s.Click(IDCANCEL);
    s.FinishWith(0);
    ExpectStored(kDefaults);
}

// Every control lands in its setting; Enter confirms like "Ok".
void EveryControlIsStored() {
    struct Edit {
        int algorithmId, modeId;
        const wchar_t *showtime, *speed;
        bool enter;
        Stored expected;
    };
    const Edit edits[] = {
        // defaults with every box toggled
        {1001, 4001, L"42", L"7", false, {{42, 7, 1, 0, 0x00FF0000, 1, 1, 1, 1, 1}}},
        {1005, 4002, L"999", L"0", true, {{999, 0, 5, 0, 0x00FF0000, 1, 2, 1, 1, 1}}},
        {1000, 4000, L"1", L"999", false, {{1, 999, 0, 0, 0x00FF0000, 1, 0, 1, 1, 1}}},
        {1002, 4000, L"5", L"5", false, {{5, 5, 2, 0, 0x00FF0000, 1, 0, 1, 1, 1}}},
        {1003, 4000, L"5", L"5", false, {{5, 5, 3, 0, 0x00FF0000, 1, 0, 1, 1, 1}}},
        {1004, 4000, L"5", L"5", false, {{5, 5, 4, 0, 0x00FF0000, 1, 0, 1, 1, 1}}},
        {1006, 4000, L"5", L"5", false, {{5, 5, 6, 0, 0x00FF0000, 1, 0, 1, 1, 1}}},
    };
    for (auto& e : edits) {
        Store(kDefaults);
        Session s;
        if (!s.Open()) return;
        for (int id : {IDC_INFINITY, IDC_RAINBOW, IDC_ROUND, IDC_LINENEW, IDC_FPS})
            s.Click(id);
        s.Click(e.algorithmId);
        s.Click(e.modeId);
        // Automatic radio buttons: exactly the one clicked in each group.
        Expect(CheckedAlgorithms(s) == std::vector<int>{e.algorithmId - IDC_ALGORITHM_FIRST},
               "one motion button after a click");
        Expect(CheckedModes(s) == std::vector<int>{e.modeId - IDC_MODE_FIRST},
               "one mode button after a click");
        s.Type(IDC_SHOWTIME, e.showtime);
        s.Type(IDC_SPEED, e.speed);
        if (e.enter)
            PressKey(s.dialog, VK_RETURN);
        else
            s.Click(IDOK);
        s.FinishWith(1);
        ExpectStored(e.expected);
    }
}

// The edits are stored as typed; only the next load corrects them.
void NumbersAreStoredAsTyped() {
    struct Typed {
        const wchar_t *showtime, *speed;
        long storedShowtime, storedSpeed;
        const wchar_t *shownShowtime, *shownSpeed; // at the next opening
    };
    const Typed typed[] = {
        {L"", L"", 0, 0, L"1", L"0"},
        {L"-5", L"-5", -5, -5, L"1", L"20"},
        {L"1500", L"1500", 1500, 1500, L"999", L"20"},
        {L"abc", L"99999999999", 0, 0, L"1", L"0"},
    };
    for (auto& t : typed) {
        Store(kDefaults);
        {
            Session s;
            if (!s.Open()) return;
            s.Type(IDC_SHOWTIME, t.showtime);
            s.Type(IDC_SPEED, t.speed);
            s.Click(IDOK);
            s.FinishWith(1);
        }
        Stored got = Load();
        ExpectEq(static_cast<LONG>(got.v[0]), t.storedShowtime, "stored Showtime");
        ExpectEq(static_cast<LONG>(got.v[1]), t.storedSpeed, "stored Speed");
        Session s;
        if (!s.Open()) return;
        Expect(s.Text(IDC_SHOWTIME) == t.shownShowtime, "Showtime shown at the next opening");
        Expect(s.Text(IDC_SPEED) == t.shownSpeed, "Speed shown at the next opening");
        s.Click(IDCANCEL);
        s.FinishWith(0);
    }
}

// Values outside a group check none of its buttons and survive "Ok".
void OutOfRangeChoicesSurviveOk() {
    const Stored stored = {{180, 10, 9, 1, 0x00FF0000, 0, 7, 0, 0, 0}};
    Store(stored);
    Session s;
    if (!s.Open()) return;
    ExpectShown(s, stored);
    Expect(!s.Checked(IDC_ROUND), "Algorithm 9 leaves Round alone");
    s.Click(IDOK);
    s.FinishWith(1);
    ExpectStored(stored);
}

// Stored values no dialog writes: it opens on them, and "Ok" stores every
// value as a DWORD, numbers within the edits' ranges and flags as 0 or 1;
// a motion or mode that names no button is kept, a value stored in a wrong
// form keeps its default.
void HostileValuesOkStoresSoundValues() {
    const DWORD kMin = 0x80000000, kMax = 0x7FFFFFFF, kMinus1 = 0xFFFFFFFF;
    const struct {
        Stored stored;
        Form forms[kSettingCount];
        Stored expected;
    } rows[] = {
        {{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
         {kDword, kDword, kDword, kDword, kText, kDword, kDword, kDword, kDword, kDword},
         {{1, 0, 0, 0, kDefaults.v[4], 0, 0, 0, 0, 0}}},
        {{{kMin, kMin, kMin, kMin, kMin, kMin, kMin, kMin, kMin, kMin}},
         {kDword, kDword, kDword, kDword, kQword, kDword, kBinary2, kDword, kDword, kDword},
         {{1, 20, kMin, 1, kDefaults.v[4], 1, 0, 1, 1, 1}}},
        {{{kMax, kMax, kMax, 0, kMax, 0, 0, 1500, 1000, kMinus1}},
         {kDword, kDword, kDword, kDword, kDword, kEmpty, kText, kDword, kDword, kDword},
         {{999, 20, kMax, 0, kMax, 0, 0, 1, 1, 1}}},
        {{{kMinus1, 1500, 1500, kMinus1, 1500, 0, 0, kMinus1, 1000, 0}},
         {kDword, kDword, kDword, kDword, kDword, kBinary8, kEmpty, kDword, kDword, kDword},
         {{1, 20, 1500, 1, 1500, 0, 0, 1, 1, 0}}},
        {{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
         {kText, kBinary2, kQword, kEmpty, kBinary8, kText, kQword, kBinary2, kEmpty, kText},
         kDefaults},
    };
    for (auto& row : rows) {
        StoreForms(row.stored, row.forms);
        Session s;
        if (!s.Open()) return;
        s.Click(IDOK);
        s.FinishWith(1);
        ExpectStored(row.expected);
    }
}

struct UpDownSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchUpDown(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<UpDownSearch*>(lParam);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (wcscmp(className, L"msctls_updown32") == 0 && GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A click on the upper or lower arrow of the up-down control beside an edit.
void ClickArrow(const Session& s, int id, bool up) {
    UpDownSearch search = {id, nullptr};
    EnumChildWindows(s.dialog, MatchUpDown, reinterpret_cast<LPARAM>(&search));
    if (!Expect(search.found != nullptr, "no up-down control")) return;
    RECT area;
    GetClientRect(search.found, &area);
    LPARAM at = MAKELPARAM(area.right / 2, up ? area.bottom / 4 : area.bottom * 3 / 4);
    SendMessageW(search.found, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(search.found, WM_LBUTTONUP, 0, at);
}

// The arrows step the numbers, within 1..999 and 0..999.
void ArrowsStepWithinTheRanges() {
    const struct {
        DWORD showtime, speed;
        bool up;
        const wchar_t *showtimeAfter, *speedAfter;
    } steps[] = {
        {180, 10, true, L"181", L"11"},
        {180, 10, false, L"179", L"9"},
        {999, 999, true, L"999", L"999"},
        {1, 0, false, L"1", L"0"},
    };
    for (auto& step : steps) {
        Stored stored = kDefaults;
        stored.v[0] = step.showtime;
        stored.v[1] = step.speed;
        Store(stored);
        Session s;
        if (!s.Open()) return;
        ClickArrow(s, IDC_SHOWTIME, step.up);
        ClickArrow(s, IDC_SPEED, step.up);
        Expect(s.Text(IDC_SHOWTIME) == step.showtimeAfter, "Showtime after an arrow");
        Expect(s.Text(IDC_SPEED) == step.speedAfter, "Speed after an arrow");
        s.Click(IDCANCEL);
        s.FinishWith(0);
    }
}

// The About box closes with "Ok", Enter, Escape and the close box, each time
// back to the settings dialog, which stays usable.
void AboutBoxComesAndGoes() {
    Store(kDefaults);
    Session s;
    if (!s.Open()) return;
    for (int way = 0; way < 4; ++way) {
        s.PostClick(IDC_ABOUT);
        HWND about = FindOwnedDialog(s.dialog, L"About Vorn");
        if (!Expect(about != nullptr, "About box did not open")) break;
        Expect(GetDlgItem(about, 202) && GetDlgItem(about, 203) && GetDlgItem(about, 204),
               "About box texts");
        if (way == 0) PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        if (way == 1) PressKey(about, VK_RETURN);
        if (way == 2) PressKey(about, VK_ESCAPE);
        if (way == 3) PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        Expect(WaitFor([&] { return !IsWindow(about); }), "About box did not close");
        Expect(IsWindowVisible(s.dialog) &&
                   WaitForSingleObject(s.process.hProcess, 0) == WAIT_TIMEOUT,
               "settings dialog gone with the About box");
    }
    s.Click(IDC_FPS); // still answering
    s.Click(IDOK);
    s.FinishWith(1);
    Stored expected = kDefaults;
    expected.v[9] = 1;
    ExpectStored(expected);
}

// Opens the colour chooser from "Color..."; it starts from the current colour.
HWND OpenChooser(const Session& s, COLORREF current) {
    s.PostClick(IDC_COLOR_BUTTON);
    HWND chooser = FindOwnedDialog(s.dialog, nullptr);
    if (!Expect(chooser != nullptr, "colour chooser did not open")) return nullptr;
    WaitForInputIdle(s.process.hProcess, kWaitMs);
    BOOL ok = FALSE;
    ExpectEq(GetDlgItemInt(chooser, COLOR_RED, &ok, FALSE), GetRValue(current), "chooser red");
    ExpectEq(GetDlgItemInt(chooser, COLOR_GREEN, &ok, FALSE), GetGValue(current), "chooser green");
    ExpectEq(GetDlgItemInt(chooser, COLOR_BLUE, &ok, FALSE), GetBValue(current), "chooser blue");
    return chooser;
}

// Types the colour into the chooser's red, green and blue fields.
void TypeColor(HWND chooser, COLORREF color) {
    const int fields[3] = {COLOR_RED, COLOR_GREEN, COLOR_BLUE};
    const BYTE parts[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    for (int i = 0; i < 3; ++i) {
        std::wstring text = std::to_wstring(parts[i]);
        SendMessageW(GetDlgItem(chooser, fields[i]), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void PickColor(HWND chooser, COLORREF color) {
    TypeColor(chooser, color);
    SendMessageW(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
    Expect(WaitFor([&] { return !IsWindow(chooser); }), "colour chooser did not close");
}

void CloseChooser(HWND chooser, bool byCloseBox) {
    if (byCloseBox)
        PostMessageW(chooser, WM_CLOSE, 0, 0);
    else
        PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    Expect(WaitFor([&] { return !IsWindow(chooser); }), "colour chooser did not close");
}

void ColorChooserResults() {
    Stored stored = kDefaults;
    stored.v[4] = 0x00123456;
    const COLORREF picked = 0x00336699;
    // A cancelled chooser (either way) leaves Color as it was: "Ok" stores it.
    for (bool closeBox : {false, true}) {
        Store(stored);
        Session s;
        if (!s.Open()) return;
        HWND chooser = OpenChooser(s, stored.v[4]);
        if (!chooser) return;
        TypeColor(chooser, picked); // the chooser's own result changes as one types
        CloseChooser(chooser, closeBox);
        s.Click(IDOK);
        s.FinishWith(1);
        ExpectStored(stored);
    }
    // A chosen colour, then "Cancel": nothing stored.
    {
        Store(stored);
        Session s;
        if (!s.Open()) return;
        HWND chooser = OpenChooser(s, stored.v[4]);
        if (!chooser) return;
        PickColor(chooser, picked);
        s.Click(IDCANCEL);
        s.FinishWith(0);
        ExpectStored(stored);
    }
    // A chosen colour, then "Ok": stored; the second opening starts from it.
    {
        Store(stored);
        Session s;
        if (!s.Open()) return;
        HWND chooser = OpenChooser(s, stored.v[4]);
        if (!chooser) return;
        PickColor(chooser, picked);
        chooser = OpenChooser(s, picked);
        if (!chooser) return;
        CloseChooser(chooser, false);
        s.Click(IDOK);
        s.FinishWith(1);
        Stored expected = stored;
        expected.v[4] = picked;
        ExpectStored(expected);
    }
}

// Wine waits up to two seconds for a window manager whenever a managed
// window is hidden, and the virtual display has none. For the cases, the
// saver's windows are unmanaged; the setting is put back afterwards.
class UnmanagedSaverWindows {
  public:
    UnmanagedSaverWindows() {
        HKEY app = nullptr;
        appKeyExisted_ =
            RegOpenKeyExW(HKEY_CURRENT_USER, kAppKey, 0, KEY_READ, &app) == ERROR_SUCCESS;
        if (app) RegCloseKey(app);
        RegCreateKeyExW(HKEY_CURRENT_USER, kX11Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        &disposition_);
        size_ = sizeof(previous_);
        hadValue_ = RegQueryValueExW(key_, L"Managed", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(previous_), &size_) == ERROR_SUCCESS;
        RegSetValueExW(key_, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"),
                       2 * sizeof(wchar_t));
    }
    ~UnmanagedSaverWindows() {
        if (hadValue_)
            RegSetValueExW(key_, L"Managed", 0, REG_SZ, reinterpret_cast<BYTE*>(previous_), size_);
        else
            RegDeleteValueW(key_, L"Managed");
        RegCloseKey(key_);
        if (disposition_ == REG_CREATED_NEW_KEY) RegDeleteKeyW(HKEY_CURRENT_USER, kX11Key);
        if (!appKeyExisted_) RegDeleteKeyW(HKEY_CURRENT_USER, kAppKey);
    }

  private:
    static constexpr const wchar_t* kAppKey = L"Software\\Wine\\AppDefaults\\Vorn.scr";
    static constexpr const wchar_t* kX11Key = L"Software\\Wine\\AppDefaults\\Vorn.scr\\X11 Driver";
    HKEY key_ = nullptr;
    DWORD disposition_ = 0;
    wchar_t previous_[16] = {};
    DWORD size_ = 0;
    bool hadValue_ = false;
    bool appKeyExisted_ = false;
};

int RunCases() {
    UnmanagedSaverWindows unmanaged;
    const struct {
        const char* name;
        void (*run)();
    } cases[] = {
        {"ok_stores_the_loaded_values", OkStoresTheLoadedValues},
        {"random_angle_is_second_from_the_top", RandomAngleIsSecondFromTheTop},
        {"cancel_stores_nothing", CancelStoresNothing},
        {"every_control_is_stored", EveryControlIsStored},
        {"numbers_are_stored_as_typed", NumbersAreStoredAsTyped},
        {"out_of_range_choices_survive_ok", OutOfRangeChoicesSurviveOk},
        {"hostile_values_ok_stores_sound_values", HostileValuesOkStoresSoundValues},
        {"arrows_step_within_the_ranges", ArrowsStepWithinTheRanges},
        {"about_box_comes_and_goes", AboutBoxComesAndGoes},
        {"color_chooser_results", ColorChooserResults},
    };
    for (auto& c : cases) {
        failureText.clear();
        DWORD start = GetTickCount();
        c.run();
        DWORD elapsed = GetTickCount() - start;
        if (failureText.empty()) {
            printf("ok   %s (%lu ms)\n", c.name, elapsed);
        } else {
            printf("FAIL %s: %s\n", c.name, failureText.c_str());
            ++failures;
        }
        fflush(stdout);
    }
    DeleteKey();
    return failures;
}

void PrintRect(const char* name, HWND window, bool client) {
    RECT r;
    if (client) {
        GetClientRect(window, &r);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        GetWindowRect(window, &r);
    }
    printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Holds the dialog open in a given state until the signal file appears.
int Pose(const std::wstring& what, const std::wstring& signal, const wchar_t* color) {
    Session s;
    if (!s.Open()) return 1;
    HWND about = nullptr;
    if (what == L"about") {
        s.PostClick(IDC_ABOUT);
        about = FindOwnedDialog(s.dialog, L"About Vorn");
    }
    if (what == L"color" && color) {
        Stored now = Load();
        HWND chooser = OpenChooser(s, now.v[4]);
        if (chooser) PickColor(chooser, wcstoul(color, nullptr, 16));
    }
    if (!failureText.empty()) {
        printf("FAIL %s\n", failureText.c_str());
        return 1;
    }
    WaitForInputIdle(s.process.hProcess, kWaitMs);
    PrintRect("swatch", s.Item(IDC_SWATCH), true);
    wchar_t name[80] = {};
    GetWindowTextW(s.Item(IDC_SWATCH), name, 80);
    printf("name %ls\n", name);
    PrintRect("window", about ? about : s.dialog, false);
    printf("ready\n");
    fflush(stdout);
    for (int i = 0; i < 3000 && GetFileAttributesW(signal.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    if (about) PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    WaitFor([&] { return !about || !IsWindow(about); });
    s.Click(IDCANCEL);
    return s.Finish() == 0 ? 0 : 1;
}

} // namespace

// Unix paths from the scripts name the same files on drive Z:.
std::wstring WindowsPath(const char* path) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, MAX_PATH);
    std::wstring result = wide[0] == L'/' ? std::wstring(L"Z:") + wide : std::wstring(wide);
    for (auto& c : result)
        if (c == L'/') c = L'\\';
    return result;
}

int main(int argc, char** argv) {
    if (argc >= 3 && strcmp(argv[1], "cases") == 0) {
        saverPath = WindowsPath(argv[2]);
        return RunCases();
    }
    if (argc >= 5 && strcmp(argv[1], "pose") == 0) {
        saverPath = WindowsPath(argv[3]);
        std::wstring color = argc >= 6 ? WindowsPath(argv[5]) : L"";
        return Pose(WindowsPath(argv[2]), WindowsPath(argv[4]),
                    argc >= 6 ? color.c_str() : nullptr);
    }
    fprintf(stderr, "usage: dialog_driver cases <Vorn.scr> | pose <what> <Vorn.scr> <signal>\n");
    return 2;
}
