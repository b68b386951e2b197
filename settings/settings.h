#pragma once
// The persisted settings: the record every part reads, the table of its
// stored values, and the registry store that walks the table.
#include <windows.h>

#include <cstddef>
#include <iterator>

// One 32-bit field per stored value, named like it.
struct SettingsRecord {
    SettingsRecord(); // every field at its default from kSettingRows

    LONG Showtime;  // seconds per phase
    LONG Speed;     // pause after each frame, ms
    LONG Algorithm; // a motion (engine/motions.h maps values and rows); 6 random per phase
    LONG Infinity;  // phases never end on time
    COLORREF Color;
    LONG Rainbow;
    LONG Mode;
    LONG Round;
    LONG LineNew;
    LONG FPS;
};

extern SettingsRecord Settings;

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\Kervolan\\Screensavers\\Vorn"; // HKCU
inline constexpr wchar_t kSettingsKeyClass[] = L"Screen Saver";

// What a load makes of a stored number (signed comparisons).
inline LONG AsStored(LONG stored) {
    return stored;
}
inline LONG AtMost999(LONG stored) {
    return stored > 999 ? 999 : stored;
}
// A negative pause is as unusable as a huge one.
inline LONG PauseOr20(LONG stored) {
    return stored < 0 || stored > 999 ? 20 : stored;
}

// One stored value: a REG_DWORD named like its field, which sits at `offset`
// in the record (reached through ValueOf and SetValue).
struct SettingRow {
    const wchar_t* name;
    size_t offset;
    LONG defaultValue;
    LONG (*onLoad)(LONG stored);
};

// The name is the field's own, so a row cannot misspell it.
#define VORN_SETTING(field) L## #field, offsetof(SettingsRecord, field)

// In the record's order. A new setting: its field, its row, its place in the
// load's and the save's orders below, its control in the dialog template and
// its line in the dialog procedure.
inline constexpr SettingRow kSettingRows[] = {
    {VORN_SETTING(Showtime), 180, AtMost999},
    {VORN_SETTING(Speed), 10, PauseOr20},
    {VORN_SETTING(Algorithm), 6, AsStored},
    {VORN_SETTING(Infinity), 1, AsStored},
    {VORN_SETTING(Color), 0x00FF0000, AsStored}, // blue
    {VORN_SETTING(Rainbow), 0, AsStored},
    {VORN_SETTING(Mode), 0, AsStored},
    {VORN_SETTING(Round), 0, AsStored},
    {VORN_SETTING(LineNew), 0, AsStored},
    {VORN_SETTING(FPS), 0, AsStored},
};
#undef VORN_SETTING

inline constexpr int kSettingCount = static_cast<int>(std::size(kSettingRows));

constexpr bool RowsFollowTheRecord() {
    for (int i = 0; i < kSettingCount; ++i)
        if (kSettingRows[i].offset != static_cast<size_t>(i) * sizeof(LONG)) return false;
    return sizeof(SettingsRecord) == kSettingCount * sizeof(LONG);
}
static_assert(RowsFollowTheRecord(), "one row per field, in the record's order");

// The orders in which a load reads and a save writes the values. Windows
// lists a key's values in the order they were created, so the save's order is
// what users see of a first run in the Registry Editor and in exported files.
#define VORN_ROW(field) &kSettingRows[offsetof(SettingsRecord, field) / sizeof(LONG)]
inline constexpr const SettingRow* kLoadOrder[] = {
    VORN_ROW(Showtime), VORN_ROW(Speed),    VORN_ROW(Algorithm), VORN_ROW(Color), VORN_ROW(FPS),
    VORN_ROW(Mode),     VORN_ROW(Infinity), VORN_ROW(Rainbow),   VORN_ROW(Round), VORN_ROW(LineNew),
};
inline constexpr const SettingRow* kSaveOrder[] = {
    VORN_ROW(Algorithm), VORN_ROW(Mode),  VORN_ROW(Infinity), VORN_ROW(Rainbow), VORN_ROW(Speed),
    VORN_ROW(Showtime),  VORN_ROW(Color), VORN_ROW(Round),    VORN_ROW(LineNew), VORN_ROW(FPS),
};
#undef VORN_ROW

template <size_t N> constexpr bool NamesEveryRowOnce(const SettingRow* const (&order)[N]) {
    if (N != kSettingCount) return false;
    for (const SettingRow& row : kSettingRows) {
        int times = 0;
        for (const SettingRow* listed : order)
            times += listed == &row;
        if (times != 1) return false;
    }
    return true;
}
static_assert(NamesEveryRowOnce(kLoadOrder), "the load reads every value once");
static_assert(NamesEveryRowOnce(kSaveOrder), "the save writes every value once");

// A field through its row, as the 32 bits the registry stores.
LONG ValueOf(const SettingsRecord& record, const SettingRow& row);
void SetValue(SettingsRecord& record, const SettingRow& row, LONG value);

// The values a save could not store, one bit per row of kSettingRows (bit i
// for row i); every bit when the key could not be opened.
using UnstoredRows = unsigned;
static_assert(kSettingCount <= 32, "one bit per row");
inline constexpr UnstoredRows kEveryRow = (1u << (kSettingCount - 1) << 1) - 1;
inline bool RowIn(UnstoredRows rows, const SettingRow& row) {
    return (rows >> (&row - kSettingRows)) & 1u;
}

void LoadSettings();
UnstoredRows SaveSettings();

// The registry calls of the store; tests put recording or failing ones in
// their place.
using RegistryKeyMaker = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM,
                                       LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
using RegistryValueReader = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegistryValueWriter = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
extern RegistryKeyMaker registryKeyMaker;       // RegCreateKeyExW
extern RegistryValueReader registryValueReader; // RegQueryValueExW
extern RegistryValueWriter registryValueWriter; // RegSetValueExW
