#include "settings/settings.h"

#include <cstring>

SettingsRecord::SettingsRecord() {
    for (const SettingRow& row : kSettingRows)
        SetValue(*this, row, row.defaultValue);
}

SettingsRecord Settings;

// Bytes copied, not a cast pointer: Color is a COLORREF, the others LONGs.
LONG ValueOf(const SettingsRecord& record, const SettingRow& row) {
    LONG value = 0;
    std::memcpy(&value, reinterpret_cast<const char*>(&record) + row.offset, sizeof(value));
    return value;
}

void SetValue(SettingsRecord& record, const SettingRow& row, LONG value) {
    std::memcpy(reinterpret_cast<char*>(&record) + row.offset, &value, sizeof(value));
}

RegistryKeyMaker registryKeyMaker = RegCreateKeyExW;
RegistryValueReader registryValueReader = RegQueryValueExW;
RegistryValueWriter registryValueWriter = RegSetValueExW;

namespace {

// Reads one value only when it is a 4-byte REG_DWORD; anything else (missing,
// another type, another size) leaves `value` as it was and never writes past it.
void ReadDword(HKEY key, const wchar_t* name, LONG& value) {
    DWORD type = 0;
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    LONG status =
        registryValueReader(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size);
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(stored))
        value = static_cast<LONG>(stored);
}

bool WriteDword(HKEY key, const wchar_t* name, DWORD value) {
    return registryValueWriter(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                               sizeof(value)) == ERROR_SUCCESS;
}

HKEY OpenKey(REGSAM access, DWORD* disposition) {
    HKEY key = nullptr;
    LONG status = registryKeyMaker(HKEY_CURRENT_USER, kSettingsKeyPath, 0,
                                   const_cast<wchar_t*>(kSettingsKeyClass), REG_OPTION_NON_VOLATILE,
                                   access, nullptr, &key, disposition);
    return status == ERROR_SUCCESS ? key : nullptr;
}

} // namespace

void LoadSettings() {
    DWORD disposition = 0;
    HKEY key = OpenKey(KEY_READ | KEY_WRITE, &disposition);
    if (!key) return;
    if (disposition == REG_CREATED_NEW_KEY) {
        SaveSettings(); // a first run goes on with the defaults, stored or not
        RegCloseKey(key);
        return;
    }
    // A value that is missing keeps the field's own, corrected all the same.
    for (const SettingRow* row : kLoadOrder) {
        LONG value = ValueOf(Settings, *row);
        ReadDword(key, row->name, value);
        SetValue(Settings, *row, row->onLoad(value));
    }
    RegCloseKey(key);
}

// A value that cannot be stored does not stop the others.
UnstoredRows SaveSettings() {
    HKEY key = OpenKey(KEY_WRITE, nullptr);
    if (!key) return kEveryRow;
    UnstoredRows unstored = 0;
    for (const SettingRow* row : kSaveOrder)
        if (!WriteDword(key, row->name, static_cast<DWORD>(ValueOf(Settings, *row))))
            unstored |= 1u << (row - kSettingRows);
    RegCloseKey(key);
    return unstored;
}
