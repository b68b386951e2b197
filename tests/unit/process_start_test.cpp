// The first code of the process against platforms of our own making: which
// Windows gets which DLL search restriction, and the processor check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process_start.h"

namespace {

using Calls = std::vector<std::wstring>;
Calls calls; // what the platform was asked, in order
BOOL defaultDirectoriesAnswer = TRUE;
std::wstring systemFolder;

BOOL WINAPI SetDefaultDirectories(DWORD flags) {
    calls.push_back(L"SetDefaultDllDirectories " + std::to_wstring(flags));
    return defaultDirectoriesAnswer;
}
BOOL WINAPI SetDirectory(LPCWSTR path) {
    calls.push_back(L"SetDllDirectoryW \"" + std::wstring(path) + L"\"");
    return TRUE;
}
UINT WINAPI SystemDirectory(LPWSTR buffer, UINT size) { // as GetSystemDirectoryW answers
    const UINT length = static_cast<UINT>(systemFolder.size());
    if (length >= size) return length + 1;
    buffer[systemFolder.copy(buffer, length)] = L'\0';
    return length;
}
HMODULE WINAPI Load(LPCWSTR file, HANDLE, DWORD flags) {
    calls.push_back(L"load " + std::wstring(file) + L" " + std::to_wstring(flags));
    return nullptr;
}
DllSearchPlatform Platform(DWORD major, DWORD minor, bool hasDefault, bool hasSetDirectory) {
    return {major,
            minor,
            hasDefault ? SetDefaultDirectories : nullptr,
            hasSetDirectory ? SetDirectory : nullptr,
            SystemDirectory,
            Load};
}

const std::wstring kRestricted = L"SetDefaultDllDirectories 2048"; // the system folder only
const std::wstring kNoCurrentFolder = L"SetDllDirectoryW \"\"";
// 8: LOAD_WITH_ALTERED_SEARCH_PATH
Calls Preloads(Calls before, const std::wstring& folder) {
    for (const wchar_t* name : {L"uxtheme.dll", L"dwmapi.dll", L"version.dll", L"cryptbase.dll"})
        before.push_back(L"load " + folder + L"\\" + name + L" 8");
    return before;
}

TEST(DllSearch, EachWindowsGetsItsRestriction) {
    const std::wstring sys = L"C:\\WINDOWS\\system32";
    const std::wstring sys248 = L"C:\\" + std::wstring(245, L'x'); // 248 characters
    struct Row {
        const char* windows;
        DllSearchPlatform platform;
        BOOL defaultAnswer;
        std::wstring folder;
        Calls expected;
    } rows[] = {
        {"11", Platform(10, 0, true, true), TRUE, sys, {kRestricted}},
        {"7 with KB2533623", Platform(6, 1, true, true), TRUE, sys, {kRestricted}},
        {"Vista with KB2533623", Platform(6, 0, true, true), TRUE, sys,
         Preloads({kNoCurrentFolder}, sys)},
        {"8 refusing it", Platform(6, 2, true, true), FALSE, sys,
         Preloads({kRestricted, kNoCurrentFolder}, sys)},
        {"XP SP3", Platform(5, 1, false, true), TRUE, sys, Preloads({kNoCurrentFolder}, sys)},
        {"XP before SP1", Platform(5, 1, false, false), TRUE, sys, Preloads({}, sys)},
        {"with its system folder unknown",
         Platform(5, 1, false, true),
         TRUE,
         L"",
         {kNoCurrentFolder}},
        {"where only dwmapi fits in MAX_PATH",
         Platform(5, 1, false, true),
         TRUE,
         sys248,
         {kNoCurrentFolder, L"load " + sys248 + L"\\dwmapi.dll 8"}},
    };
    for (const Row& row : rows) {
        calls.clear();
        defaultDirectoriesAnswer = row.defaultAnswer;
        systemFolder = row.folder;
        RestrictDllSearch(row.platform);
        EXPECT_EQ(calls, row.expected) << "Windows " << row.windows;
    }
}

int runtimeRuns = 0;
int Runtime() {
    ++runtimeRuns;
    return 7;
}
std::wstring boxText;
int WINAPI Box(HWND, LPCWSTR text, LPCWSTR, UINT) {
    calls.push_back(L"message box");
    boxText = text;
    return IDOK;
}
// Processors that have every feature, or every one but SSE2.
BOOL WINAPI AllFeatures(DWORD) {
    return TRUE;
}
BOOL WINAPI AllButSse2(DWORD feature) {
    return feature != PF_XMMI64_INSTRUCTIONS_AVAILABLE;
}

TEST(ProcessStart, RefusesAProcessorWithoutSse2) {
    struct Row {
        const char* processor;
        ProcessorFeatureProc feature;
        int exitCode, runtimeRuns;
        Calls expected;
    } rows[] = {
        {"with SSE2", AllFeatures, 7, 1, {kRestricted}},
        {"without SSE2", AllButSse2, kProcessorRefused, 0, {kRestricted, L"message box"}},
        {"unknown to Windows", nullptr, 7, 1, {kRestricted}},
    };
    for (const Row& row : rows) {
        calls.clear();
        runtimeRuns = 0;
        defaultDirectoriesAnswer = TRUE;
        const StartPlatform platform = {row.feature, Box, Platform(10, 0, true, true)};
        EXPECT_EQ(StartProcess(platform, Runtime), row.exitCode) << row.processor;
        EXPECT_EQ(runtimeRuns, row.runtimeRuns) << row.processor;
        EXPECT_EQ(calls, row.expected) << row.processor;
    }
    EXPECT_NE(boxText.find(L"SSE2"), std::wstring::npos) << "the message names the requirement";
}

} // namespace
