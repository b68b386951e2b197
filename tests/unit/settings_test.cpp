// The settings store against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "support/engine_fixture.h"
#include "support/registry_doubles.h"

namespace {

const SettingsRecord kDefaults;

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsKey();
        Settings = SettingsRecord();
    }
    void TearDown() override { DeleteSettingsKey(); }

    HKEY Key() {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        return key;
    }
    void PutDword(const wchar_t* name, DWORD value) {
        HKEY key = Key();
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
        RegCloseKey(key);
    }
    void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = Key();
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    bool GetDword(const wchar_t* name, DWORD& value) {
        HKEY key = Key();
        DWORD type = 0, size = 4;
        LONG status =
            RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS && type == REG_DWORD && size == 4;
    }
    DWORD ValueCount() {
        HKEY key = Key();
        DWORD count = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return count;
    }
};

TEST_F(SettingsTest, FirstRunCreatesTheKeyWithItsClassAndTheTenDefaults) {
    LoadSettings();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    wchar_t className[64] = {};
    DWORD classLength = 64;
    RegQueryInfoKeyW(key, className, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(std::wstring(className), L"Screen Saver");
    EXPECT_EQ(ValueCount(), static_cast<DWORD>(kSettingCount));
    for (const SettingRow& row : kSettingRows) {
        DWORD value = 0xDEAD;
        EXPECT_TRUE(GetDword(row.name, value)) << "missing " << row.name;
        EXPECT_EQ(value, static_cast<DWORD>(row.defaultValue)) << "value " << row.name;
        EXPECT_EQ(ValueOf(Settings, row), row.defaultValue) << "field " << row.name;
    }
    // What users get on a first run is the product's promise: stated once,
    // here, so that a change of the table's defaults is a deliberate one.
    const std::pair<const wchar_t*, DWORD> promised[] = {
        {L"Showtime", 180},     {L"Speed", 10},  {L"Algorithm", 6}, {L"Infinity", 1},
        {L"Color", 0x00FF0000}, {L"Rainbow", 0}, {L"Mode", 0},      {L"Round", 0},
        {L"LineNew", 0},        {L"FPS", 0}};
    for (const auto& [name, value] : promised) {
        DWORD stored = 0xDEAD;
        EXPECT_TRUE(GetDword(name, stored) && stored == value) << "first-run " << name;
    }
}

TEST_F(SettingsTest, KeyWithoutValuesKeepsDefaultsAndWritesNothing) {
    RegCloseKey(Key());
    LoadSettings();
    EXPECT_EQ(ValueCount(), 0u);
    EXPECT_EQ(Settings.Showtime, kDefaults.Showtime);
    EXPECT_EQ(Settings.Speed, kDefaults.Speed);
    EXPECT_EQ(Settings.Algorithm, kDefaults.Algorithm);
    EXPECT_EQ(Settings.Infinity, kDefaults.Infinity);
}

TEST_F(SettingsTest, LoadCorrectsShowtimeAndSpeed) {
    struct Case {
        DWORD showtime, speed;
        LONG expectShowtime, expectSpeed;
    } cases[] = {
        {999, 999, 999, 999},
        {1000, 1000, 999, 20},
        {0, 0, 0, 0},
        {static_cast<DWORD>(-5), static_cast<DWORD>(-5), -5, 20},
    };
    for (const Case& c : cases) {
        PutDword(L"Showtime", c.showtime);
        PutDword(L"Speed", c.speed);
        LoadSettings();
        EXPECT_EQ(Settings.Showtime, c.expectShowtime) << c.showtime;
        EXPECT_EQ(Settings.Speed, c.expectSpeed) << c.speed;
    }
}

TEST_F(SettingsTest, StoredValuesReachTheRecordUnvalidated) {
    PutDword(L"Rainbow", 2);
    PutDword(L"Algorithm", 9);
    PutDword(L"Mode", 7);
    PutDword(L"Color", 0x00123456);
    LoadSettings();
    EXPECT_EQ(Settings.Rainbow, 2); // any non-zero flag counts as set
    EXPECT_EQ(Settings.Algorithm, 9);
    EXPECT_EQ(Settings.Mode, 7);
    EXPECT_EQ(Settings.Color, 0x00123456u);
}

TEST_F(SettingsTest, WrongTypeAndOversizeValuesAreIgnored) {
    const wchar_t text[] = L"12345678901234567890";
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const BYTE two[2] = {9, 9};
    PutRaw(L"Showtime", REG_SZ, text, sizeof(text));
    PutRaw(L"Speed", REG_BINARY, eight, sizeof(eight));
    PutRaw(L"Mode", REG_BINARY, two, sizeof(two));
    PutRaw(L"Algorithm", REG_QWORD, eight, sizeof(eight));
    PutDword(L"FPS", 1);
    LoadSettings();
    EXPECT_EQ(Settings.Showtime, kDefaults.Showtime);
    EXPECT_EQ(Settings.Speed, kDefaults.Speed);
    EXPECT_EQ(Settings.Mode, kDefaults.Mode);
    EXPECT_EQ(Settings.Algorithm, kDefaults.Algorithm);
    EXPECT_EQ(Settings.FPS, 1);
}

// The record's fields in the table's order.
struct Fields {
    LONG v[kSettingCount];
};

Fields FieldsOf(const SettingsRecord& record) {
    Fields fields;
    for (int i = 0; i < kSettingCount; ++i)
        fields.v[i] = ValueOf(record, kSettingRows[i]);
    return fields;
}

// The bytes on both sides of the record: no load may touch them.
constexpr size_t kGuard = 64;
std::vector<BYTE> Surroundings() {
    const uintptr_t record = reinterpret_cast<uintptr_t>(&Settings);
    std::vector<BYTE> bytes(2 * kGuard);
    memcpy(bytes.data(), reinterpret_cast<const void*>(record - kGuard), kGuard);
    memcpy(bytes.data() + kGuard, reinterpret_cast<const void*>(record + sizeof(Settings)), kGuard);
    return bytes;
}

// Every value stored in every wrong form and as extreme numbers, alone under
// the key: that field gets what the load makes of it, every other field and
// the memory around the record keep their bytes.
TEST_F(SettingsTest, HostileStoredValuesStayInTheirFields) {
    const wchar_t text[] = L"12345678901234567890";
    const BYTE two[2] = {5, 0}, eight[8] = {5, 0, 0, 0, 9, 9, 9, 9};
    const struct {
        const char* form;
        DWORD type;
        const void* data;
        DWORD size;
    } wrongForms[] = {
        {"REG_SZ", REG_SZ, text, sizeof(text)},
        {"REG_BINARY of 2", REG_BINARY, two, sizeof(two)},
        {"REG_BINARY of 8", REG_BINARY, eight, sizeof(eight)},
        {"REG_QWORD", REG_QWORD, eight, sizeof(eight)},
        {"empty REG_DWORD", REG_DWORD, nullptr, 0},
    };
    // Stored number, then what Showtime and Speed load as; the rest load as stored.
    const struct {
        LONG stored, showtime, speed;
    } numbers[] = {
        {0, 0, 0},          {-1, -1, 20},    {INT_MIN, INT_MIN, 20},
        {INT_MAX, 999, 20}, {1000, 999, 20}, {1500, 999, 20},
    };
    // In range for every field, so no correction applies to them.
    const Fields sentinel = {{123, 45, 3, 0x11, 0x00ABCDEF, 0x22, 1, 0x33, 0x44, 0x55}};
    auto loadAlone = [&](int field, DWORD type, const void* data, DWORD size) {
        DeleteSettingsKey();
        PutRaw(kSettingRows[field].name, type, data, size);
        for (int i = 0; i < kSettingCount; ++i)
            SetValue(Settings, kSettingRows[i], sentinel.v[i]);
        const std::vector<BYTE> around = Surroundings();
        LoadSettings();
        EXPECT_TRUE(Surroundings() == around) << "memory beside the record changed";
        return FieldsOf(Settings);
    };
    for (int field = 0; field < kSettingCount; ++field) {
        const std::wstring name = kSettingRows[field].name;
        SCOPED_TRACE(testing::Message() << "stored " << name);
        for (const auto& wrong : wrongForms) {
            const Fields got = loadAlone(field, wrong.type, wrong.data, wrong.size);
            for (int i = 0; i < kSettingCount; ++i)
                EXPECT_EQ(got.v[i], sentinel.v[i]) << wrong.form << ", field " << i;
        }
        for (const auto& number : numbers) {
            const Fields got = loadAlone(field, REG_DWORD, &number.stored, 4);
            Fields expected = sentinel;
            expected.v[field] = name == L"Showtime" ? number.showtime
                                : name == L"Speed"  ? number.speed
                                                    : number.stored;
            for (int i = 0; i < kSettingCount; ++i)
                EXPECT_EQ(got.v[i], expected.v[i]) << number.stored << ", field " << i;
        }
    }
}

TEST_F(SettingsTest, SaveWritesTheFieldsAsTheyStand) {
    RegCloseKey(Key());
    Settings.Showtime = 1500;
    Settings.Speed = -3;
    Settings.FPS = 2;
    SaveSettings();
    DWORD value = 0;
    ASSERT_TRUE(GetDword(L"Showtime", value));
    EXPECT_EQ(value, 1500u);
    ASSERT_TRUE(GetDword(L"Speed", value));
    EXPECT_EQ(static_cast<LONG>(value), -3);
    ASSERT_TRUE(GetDword(L"FPS", value));
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(ValueCount(), static_cast<DWORD>(kSettingCount));
    LoadSettings();
    EXPECT_EQ(Settings.Showtime, 999);
}

// Windows lists a key's values in the order they were created (Wine sorts
// them by name), so the order of the calls is what a first run leaves in the
// Registry Editor: it is recorded here rather than read back.
class RegistryCallsTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        registryCalls.clear();
        refusedWrites.clear();
        registryValueReader = RecordRead;
        registryValueWriter = RecordWrite;
    }
    void TearDown() override {
        registryKeyMaker = RegCreateKeyExW;
        registryValueReader = RegQueryValueExW;
        registryValueWriter = RegSetValueExW;
        SettingsTest::TearDown();
    }
};

const std::vector<std::wstring> kWritten = {
    L"write Algorithm", L"write Mode",  L"write Infinity", L"write Rainbow", L"write Speed",
    L"write Showtime",  L"write Color", L"write Round",    L"write LineNew", L"write FPS"};

TEST_F(RegistryCallsTest, ValuesAreReadAndWrittenInTheirOrders) {
    const struct {
        const char* name;
        bool keyExists;
        void (*run)();
        std::vector<std::wstring> calls;
    } rows[] = {
        {"first run: the defaults are created in the save's order", false, LoadSettings, kWritten},
        {"load of an existing key",
         true,
         LoadSettings,
         {L"read Showtime", L"read Speed", L"read Algorithm", L"read Color", L"read FPS",
          L"read Mode", L"read Infinity", L"read Rainbow", L"read Round", L"read LineNew"}},
        {"save", true, [] { SaveSettings(); }, kWritten},
    };
    for (const auto& row : rows) {
        DeleteSettingsKey();
        if (row.keyExists) StoreSettings(SettingsRecord());
        registryCalls.clear();
        row.run();
        EXPECT_EQ(registryCalls, row.calls) << row.name;
    }
}

// A value that cannot be stored is named in the result, and the others are
// still written; a key that cannot be opened stores nothing.
TEST_F(RegistryCallsTest, SaveNamesTheValuesItCouldNotStore) {
    const struct {
        const char* name;
        std::vector<std::wstring> refused;
        bool noKey;
        UnstoredRows unstored; // bit i: kSettingRows[i], the record's order
    } rows[] = {
        {"all stored", {}, false, 0},
        {"Speed and FPS refused", {L"Speed", L"FPS"}, false, 0x202},
        {"Algorithm, the first written", {L"Algorithm"}, false, 0x004},
        {"no key", {}, true, 0x3FF},
    };
    for (const auto& row : rows) {
        DeleteSettingsKey();
        registryCalls.clear();
        refusedWrites = row.refused;
        registryKeyMaker = row.noKey ? NoKey : RegCreateKeyExW;
        EXPECT_EQ(SaveSettings(), row.unstored) << row.name;
        EXPECT_EQ(registryCalls, row.noKey ? std::vector<std::wstring>() : kWritten) << row.name;
    }
}

} // namespace
