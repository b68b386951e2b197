// The settings dialog and the About box. The dialog edits the process's one
// Settings record: it loads the store when it opens and saves it on "Ok".
#include "dialog/dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cwchar>
#include <iterator>
#include <string>

#include "engine/motions.h"
#include "platform/dll_search.h"
#include "platform/look_up.h"
#include "resources/dialog_ids.h"
#include "settings/settings.h"

// The colour chooser's custom colours, offered again at every opening while
// the process runs; never stored.
COLORREF customColors[16];

SettingsMessageBox settingsMessageBox = MessageBoxW;
UpDownMaker upDownMaker = CreateUpDownControl;

namespace {

// One button for every stored value with a meaning: each motion and "Random".
constexpr int kAlgorithmLastId = IDC_ALGORITHM_FIRST + kLastAlgorithm;
static_assert(kAlgorithmLastId < IDC_ROUND, "the motion buttons' identifiers run into the boxes'");

void CheckIfSet(HWND dialog, int id, LONG flag) {
    if (flag != 0) CheckDlgButton(dialog, id, BST_CHECKED);
}

LONG CheckedFlag(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

// A value outside the group's range checks none of its buttons.
void CheckChoice(HWND dialog, int first, int last, LONG value) {
    int checked = (value >= 0 && value <= last - first) ? first + static_cast<int>(value) : 0;
    CheckRadioButton(dialog, first, last, checked);
}

// The checked button of a group as an offset from its first identifier;
// with none checked the value stays as it was.
LONG CheckedChoice(HWND dialog, int first, int last, LONG value) {
    for (int id = first; id <= last; ++id)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) value = id - first;
    return value;
}

int WidthOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    return rect.right - rect.left;
}

// The width each edit gave up to its up-down control (Showtime's, Speed's),
// so that it can be given back.
int upDownRoom[2];
int& RoomOf(HWND edit) {
    return upDownRoom[GetDlgCtrlID(edit) == IDC_SPEED ? 1 : 0];
}

// The up-down control writes its position into the edit (UDS_SETBUDDYINT)
// and takes the edit's identifier; the edit, created first, is what
// GetDlgItem finds. It places itself inside the edit's right end. Without
// it the number is written here: an empty edit would store 0 on "Ok".
void AttachUpDown(HWND dialog, int editId, int lower, LONG position) {
    HWND edit = GetDlgItem(dialog, editId);
    const int fullWidth = WidthOf(edit);
    if (!upDownMaker(WS_CHILD | WS_VISIBLE | WS_BORDER | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 20, 10,
                     55, 55, dialog, editId, SaverModule(), edit, 999, lower,
                     static_cast<int>(position)))
        SetDlgItemInt(dialog, editId, static_cast<UINT>(position), TRUE);
    RoomOf(edit) = fullWidth - WidthOf(edit);
}

// Under per-monitor awareness the dialog manager scales the template's
// controls to a new DPI, but not the up-down controls made at run time: each
// edit gets back the room its up-down took before the scaling, and the
// up-down takes it again from the scaled edit afterwards, as at creation.
constexpr UINT kReattachUpDowns = WM_APP;

template <typename Visit> void ForEachUpDown(HWND dialog, Visit visit) {
    for (HWND upDown = nullptr; (upDown = FindWindowExW(dialog, upDown, UPDOWN_CLASSW, nullptr));)
        visit(upDown, reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)));
}

void OnDpiChanged(HWND dialog) {
    ForEachUpDown(dialog, [dialog](HWND, HWND edit) {
        RECT rect;
        GetWindowRect(edit, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(edit, nullptr, rect.left, rect.top, rect.right - rect.left + RoomOf(edit),
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    });
    PostMessageW(dialog, kReattachUpDowns, 0, 0);
}

void ReattachUpDowns(HWND dialog) {
    ForEachUpDown(dialog, [](HWND upDown, HWND edit) {
        const int fullWidth = WidthOf(edit);
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        RoomOf(edit) = fullWidth - WidthOf(edit);
    });
}

bool StartsGroup(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_GROUP) != 0;
}

void SetStartsGroup(HWND control, bool starts) {
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE) & ~LONG_PTR{WS_GROUP};
    SetWindowLongPtrW(control, GWL_STYLE, starts ? style | WS_GROUP : style);
}

// Screen readers name an edit after the label just before it in z-order, and
// the template has each label after its edit. The groups that the arrow keys
// move in stay the template's: a group that the label began begins at the
// control that followed it, and the label joins its edit's group, where
// Windows' dialog manager passes over it as over every static control. Labels
// are no tab stops, so the Tab sequence stays the template's too.
void PutLabelBefore(HWND dialog, int labelId, int editId) {
    HWND label = GetDlgItem(dialog, labelId);
    HWND edit = GetDlgItem(dialog, editId);
    HWND before = edit ? GetWindow(edit, GW_HWNDPREV) : nullptr;
    if (!label || before == label) return;
    HWND after = GetWindow(label, GW_HWNDNEXT);
    if (after && StartsGroup(label)) SetStartsGroup(after, true);
    SetWindowPos(label, before ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetStartsGroup(label, StartsGroup(edit));
    SetStartsGroup(edit, false);
}

// The swatch's text is its name for screen readers; it is painted in the
// swatch's own colour, so it never shows.
void NameSwatch(HWND dialog) {
    wchar_t name[64];
    const COLORREF color = Settings.Color;
    _snwprintf(name, 64, L"Color: red %u, green %u, blue %u", unsigned{GetRValue(color)},
               unsigned{GetGValue(color)}, unsigned{GetBValue(color)});
    name[63] = 0;
    SetDlgItemTextW(dialog, IDC_SWATCH, name);
}

INT_PTR OnInitDialog(HWND dialog) {
    LoadSettings();
    PutLabelBefore(dialog, IDC_SHOWTIME_LABEL, IDC_SHOWTIME);
    PutLabelBefore(dialog, IDC_SPEED_LABEL, IDC_SPEED);
    NameSwatch(dialog);
    CheckIfSet(dialog, IDC_LINENEW, Settings.LineNew);
    CheckIfSet(dialog, IDC_INFINITY, Settings.Infinity);
    CheckIfSet(dialog, IDC_RAINBOW, Settings.Rainbow);
    CheckIfSet(dialog, IDC_ROUND, Settings.Round);
    CheckIfSet(dialog, IDC_FPS, Settings.FPS);
    CheckChoice(dialog, IDC_ALGORITHM_FIRST, kAlgorithmLastId, Settings.Algorithm);
    CheckChoice(dialog, IDC_MODE_FIRST, IDC_MODE_LAST, Settings.Mode);
    AttachUpDown(dialog, IDC_SHOWTIME, 1, Settings.Showtime);
    AttachUpDown(dialog, IDC_SPEED, 0, Settings.Speed);
    return TRUE; // focus on the first tab stop
}

// Text that is not a number reads as 0; numbers are kept as typed.
LONG NumberIn(HWND dialog, int id) {
    return static_cast<LONG>(GetDlgItemInt(dialog, id, nullptr, TRUE));
}

// Each stored value as the dialog's labels name it, in kSettingRows' order.
constexpr const wchar_t* kShownNames[] = {
    L"Showtime", L"Delay (ms)", L"Algorithm", L"Infinity", L"Color",
    L"Rainbow",  L"Mode",       L"Round",     L"New",      L"FPS/time",
};
static_assert(std::size(kShownNames) == kSettingCount, "a shown name for every stored value");

// Names the values in the order the save tried them.
void TellUnstored(HWND dialog, UnstoredRows unstored) {
    std::wstring text = L"These settings could not be stored:";
    const wchar_t* separator = L" ";
    for (const SettingRow* row : kSaveOrder) {
        if (!RowIn(unstored, *row)) continue;
        text += separator;
        text += kShownNames[row - kSettingRows];
        separator = L", ";
    }
    text += L".";
    settingsMessageBox(dialog, text.c_str(), L"Settings Vorn", MB_OK | MB_ICONERROR);
}

INT_PTR OnOk(HWND dialog) {
    Settings.Showtime = NumberIn(dialog, IDC_SHOWTIME);
    Settings.Speed = NumberIn(dialog, IDC_SPEED);
    Settings.Rainbow = CheckedFlag(dialog, IDC_RAINBOW);
    Settings.Infinity = CheckedFlag(dialog, IDC_INFINITY);
    Settings.Round = CheckedFlag(dialog, IDC_ROUND);
    Settings.LineNew = CheckedFlag(dialog, IDC_LINENEW);
    Settings.FPS = CheckedFlag(dialog, IDC_FPS);
    Settings.Algorithm =
        CheckedChoice(dialog, IDC_ALGORITHM_FIRST, kAlgorithmLastId, Settings.Algorithm);
    Settings.Mode = CheckedChoice(dialog, IDC_MODE_FIRST, IDC_MODE_LAST, Settings.Mode);
    const UnstoredRows unstored = SaveSettings();
    if (unstored) {
        TellUnstored(dialog, unstored);
        return TRUE; // the user may try again, or leave with "Cancel"
    }
    EndDialog(dialog, 1);
    return TRUE;
}

using ChooseColorProc = BOOL(WINAPI*)(CHOOSECOLORW*);

// The chooser's library is loaded when it is asked for: imported, it and what
// it pulls in would sit in every full-screen saver too, unused. Without it the
// chooser counts as cancelled.
BOOL RunColorChooser(CHOOSECOLORW* choice) {
    HMODULE library = LoadSystemLibrary(L"COMDLG32.DLL");
    if (!library) return FALSE;
    auto chooseColor = LookUp<ChooseColorProc>(library, "ChooseColorW");
    const BOOL chosen = chooseColor && chooseColor(choice);
    FreeLibrary(library);
    return chosen;
}

// A chosen colour lives in the record only; "Ok" stores it, "Cancel" drops it.
INT_PTR OnChooseColor(HWND dialog) {
    CHOOSECOLORW choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = dialog;
    choice.rgbResult = Settings.Color;
    choice.lpCustColors = customColors;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (RunColorChooser(&choice)) {
        Settings.Color = choice.rgbResult;
        NameSwatch(dialog);
    }
    InvalidateRect(GetDlgItem(dialog, IDC_SWATCH), nullptr, TRUE);
    return FALSE;
}

INT_PTR OnAbout(HWND dialog) {
    DialogBoxParamW(SaverModule(), L"ABOUT", dialog, AboutDialogProc, 0);
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK: return OnOk(dialog);
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_COLOR_BUTTON: return OnChooseColor(dialog);
    case IDC_ABOUT: return OnAbout(dialog);
    default: return FALSE;
    }
}

// The swatch's brush, kept while its colour is the one shown and deleted when
// the colour changes or the dialog ends.
struct SwatchBrush {
    HBRUSH brush;
    COLORREF color;
} swatchBrush = {nullptr, 0};

void ReleaseSwatchBrush() {
    if (swatchBrush.brush) DeleteObject(swatchBrush.brush);
    swatchBrush.brush = nullptr;
}

HBRUSH SwatchBrushOf(COLORREF color) {
    if (swatchBrush.brush && swatchBrush.color == color) return swatchBrush.brush;
    ReleaseSwatchBrush();
    swatchBrush = {CreateSolidBrush(color), color};
    return swatchBrush.brush;
}

// The swatch's background is the returned brush; a simple static paints it
// with the DC's background colour instead, so that is set too, and its text
// with the text colour, set to the same so that the name never shows. The
// fill serves a static that paints no background at all.
INT_PTR OnCtlColorStatic(HWND dialog, HDC dc, HWND control) {
    if (control != GetDlgItem(dialog, IDC_SWATCH)) return FALSE;
    HBRUSH brush = SwatchBrushOf(Settings.Color);
    if (!brush) return FALSE;
    RECT area;
    GetClientRect(control, &area);
    FillRect(dc, &area, brush);
    SetBkColor(dc, Settings.Color);
    SetTextColor(dc, Settings.Color);
    return reinterpret_cast<INT_PTR>(brush);
}

} // namespace

// The settings dialog needs no window classes of its own.
int DialogClassHook(HINSTANCE) {
    return 1;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(dialog, reinterpret_cast<HDC>(wParam),
                                reinterpret_cast<HWND>(lParam));
    case WM_DPICHANGED: OnDpiChanged(dialog); return FALSE; // the default handling scales
    case kReattachUpDowns: ReattachUpDowns(dialog); return TRUE;
    case WM_DESTROY: ReleaseSwatchBrush(); return FALSE;
    default: return FALSE;
    }
}

// "Ok", Enter, Escape and the close box all end the box the same way.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}
