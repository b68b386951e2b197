// Runs a command and prints its whole exit code ("exit=<code>"), which a
// Linux shell cuts to its low 8 bits (3010 would read as 194):
//   run_command.exe <program> [arguments]   the rest of this command line
//   run_command.exe /entry <value name>     a command of Vorn's entry in the
//       installed programs (UninstallString, QuietUninstallString) exactly as
//       stored, as "Programs and Features" or a deployment tool runs it
// Returns 255 when there is nothing to run.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
// The entry's value, from the native view where both setups write it.
std::wstring EntryCommand(const wchar_t* name) {
    HKEY entry = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &entry) != ERROR_SUCCESS)
        return L"";
    wchar_t command[2048] = {};
    DWORD size = sizeof(command) - sizeof(wchar_t);
    RegQueryValueExW(entry, name, nullptr, nullptr, reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(entry);
    return command;
}

// This program's command line past its own name.
std::wstring RestOfCommandLine() {
    const wchar_t* at = GetCommandLineW();
    bool quoted = false;
    for (; *at && (quoted || (*at != L' ' && *at != L'\t')); ++at)
        if (*at == L'"') quoted = !quoted;
    while (*at == L' ' || *at == L'\t')
        ++at;
    return at;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc == 3 && std::wstring(argv[1]) == L"/entry" ? EntryCommand(argv[2])
                                                                           : RestOfCommandLine();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (command.empty() || !CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0,
                                           nullptr, nullptr, &startup, &process))
        return 255;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    printf("exit=%lu\n", static_cast<unsigned long>(code));
    return 0;
}
