#pragma once
// Shared by the test doubles: files beside the double's own DLL file.
#include <windows.h>

#include <cstdio>
#include <string>

inline std::wstring BesideModule(HMODULE module, const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring dir(path);
    dir.erase(dir.find_last_of(L"\\/") + 1);
    return dir + name;
}

inline void AppendLine(HMODULE module, const wchar_t* logName, const char* line) {
    FILE* log = _wfopen(BesideModule(module, logName).c_str(), L"ab");
    if (!log) return;
    fprintf(log, "%s\n", line);
    fclose(log);
}

// First whitespace-separated word of a control file, or the fallback.
inline std::string ReadWord(HMODULE module, const wchar_t* name, const char* fallback) {
    FILE* file = _wfopen(BesideModule(module, name).c_str(), L"rb");
    if (!file) return fallback;
    char word[64] = {};
    int got = fscanf(file, "%63s", word);
    fclose(file);
    return got == 1 ? word : fallback;
}
