#include "settings/settings.h"

SettingsRecord Settings;

const wchar_t kSettingsKeyPath[] = L"Software\\Kervolan\\Screensavers\\Vorn";
const wchar_t kSettingsKeyClass[] = L"Screen Saver";

namespace {

// Reads one value into its field only when it is a 4-byte REG_DWORD; anything
// else (missing, another type, another size) leaves the field as it was and
// never writes past it.
void ReadDword(HKEY key, const wchar_t* name, LONG& field) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                   &size);
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value))
        field = static_cast<LONG>(value);
}

void ReadDword(HKEY key, const wchar_t* name, COLORREF& field) {
    LONG value = static_cast<LONG>(field);
    ReadDword(key, name, value);
    field = static_cast<COLORREF>(value);
}

void WriteDword(HKEY key, const wchar_t* name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
}

HKEY OpenKey(REGSAM access, DWORD* disposition) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0,
                                  const_cast<wchar_t*>(kSettingsKeyClass),
                                  REG_OPTION_NON_VOLATILE, access, nullptr, &key, disposition);
    return status == ERROR_SUCCESS ? key : nullptr;
}

} // namespace

void LoadSettings() {
    DWORD disposition = 0;
    HKEY key = OpenKey(KEY_READ | KEY_WRITE, &disposition);
    if (!key) return;
    if (disposition == REG_CREATED_NEW_KEY) {
        SaveSettings();
        RegCloseKey(key);
        return;
    }
    ReadDword(key, L"Showtime", Settings.Showtime);
    if (Settings.Showtime > 999) Settings.Showtime = 999;
    ReadDword(key, L"Speed", Settings.Speed);
    // A negative pause is as unusable as a huge one.
    if (Settings.Speed > 999 || Settings.Speed < 0) Settings.Speed = 20;
    ReadDword(key, L"Algorithm", Settings.Algorithm);
    ReadDword(key, L"Color", Settings.Color);
    ReadDword(key, L"FPS", Settings.FPS);
    ReadDword(key, L"Mode", Settings.Mode);
    ReadDword(key, L"Infinity", Settings.Infinity);
    ReadDword(key, L"Rainbow", Settings.Rainbow);
    ReadDword(key, L"Round", Settings.Round);
    ReadDword(key, L"LineNew", Settings.LineNew);
    RegCloseKey(key);
}

void SaveSettings() {
    HKEY key = OpenKey(KEY_WRITE, nullptr);
    if (!key) return;
    WriteDword(key, L"Algorithm", Settings.Algorithm);
    WriteDword(key, L"Mode", Settings.Mode);
    WriteDword(key, L"Infinity", Settings.Infinity);
    WriteDword(key, L"Rainbow", Settings.Rainbow);
    WriteDword(key, L"Speed", Settings.Speed);
    WriteDword(key, L"Showtime", Settings.Showtime);
    WriteDword(key, L"Color", Settings.Color);
    WriteDword(key, L"Round", Settings.Round);
    WriteDword(key, L"LineNew", Settings.LineNew);
    WriteDword(key, L"FPS", Settings.FPS);
    RegCloseKey(key);
}
