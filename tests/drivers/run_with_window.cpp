// Runs a program with a window number of ours appended to its command line:
//   run_with_window.exe <program> <switch>   runs  "<program>" <switch> <hwnd>
// and prints "window=<hwnd> exit=<code>". The window exists for the whole run.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: run_with_window <program> <switch>\n");
        return 2;
    }
    HWND window = CreateWindowExW(0, L"STATIC", L"Vorn test parent", WS_POPUP, 0, 0, 200, 150,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const unsigned long number = static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window));
    std::string command =
        "\"" + std::string(argv[1]) + "\" " + argv[2] + " " + std::to_string(number);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fprintf(stderr, "cannot start %s\n", command.c_str());
        return 2;
    }
    // Keep our window's messages flowing while the child runs.
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 30000, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    printf("window=%lu exit=%ld\n", number, static_cast<long>(exitCode));
    return 0;
}
