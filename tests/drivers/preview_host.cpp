// Stands in for the display settings' preview pane: a window with a 152 x 112
// child pane whose number is handed to the real saver (..\Vorn.scr beside
// this program's folder).
//
//   preview_host preview     start "/p <pane>", check the saver's child window,
//                            destroy ours and check that the saver ends with 0
//   preview_host run ARGS    run the saver with ARGS ("%" becomes the pane's
//                            number); exit with the saver's exit code
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kPaneWidth = 152;
constexpr int kPaneHeight = 112;
constexpr DWORD kTimedOut = 124;

std::wstring SaverPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.erase(folder.find_last_of(L'\\') + 1);
    return folder + L"..\\Vorn.scr";
}

HWND MakeHost(DWORD visible, HWND* pane) {
    WNDCLASSW hostClass = {};
    hostClass.lpfnWndProc = DefWindowProcW;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    hostClass.lpszClassName = L"VornPreviewHost";
    RegisterClassW(&hostClass);
    HWND host = CreateWindowExW(0, hostClass.lpszClassName, L"Preview host", WS_POPUP | visible,
                                100, 100, kPaneWidth + 48, kPaneHeight + 48, nullptr, nullptr,
                                hostClass.hInstance, nullptr);
    *pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 24, 24, kPaneWidth,
                            kPaneHeight, host, nullptr, hostClass.hInstance, nullptr);
    return host;
}

// The saver sends to our windows (it creates a child of the pane), so we keep
// answering messages while we wait for anything.
void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

bool StartSaver(std::wstring arguments, PROCESS_INFORMATION* process) {
    std::wstring line = L"\"" + SaverPath() + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          process);
}

DWORD WaitForExit(const PROCESS_INFORMATION& process, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeProcess(process.hProcess, &code) && code == STILL_ACTIVE &&
           GetTickCount() - start < milliseconds)
        Pump(50);
    if (code != STILL_ACTIVE) return code;
    TerminateProcess(process.hProcess, kTimedOut);
    return kTimedOut;
}

std::wstring Number(HWND window) {
    return std::to_wstring(reinterpret_cast<UINT_PTR>(window));
}

int RunWithArguments(int argc, char** argv) {
    HWND pane = nullptr;
    HWND host = MakeHost(0, &pane);
    std::wstring arguments;
    for (int i = 2; i < argc; ++i) {
        if (i > 2) arguments += L' ';
        for (const char* c = argv[i]; *c; ++c)
            arguments += *c == '%' ? Number(pane) : std::wstring(1, static_cast<wchar_t>(*c));
    }
    PROCESS_INFORMATION process = {};
    if (!StartSaver(arguments, &process)) return 2;
    const DWORD code = WaitForExit(process, 20000);
    std::printf("arguments=%ls\nexit=%ld\n", arguments.c_str(), static_cast<long>(code));
    DestroyWindow(host);
    return static_cast<int>(code);
}

int CheckPreview() {
    HWND pane = nullptr;
    HWND host = MakeHost(WS_VISIBLE, &pane);
    PROCESS_INFORMATION process = {};
    if (!StartSaver(L"/p " + Number(pane), &process)) return 2;
    HWND saver = nullptr;
    for (int tries = 0; !saver && tries < 200; ++tries) {
        Pump(50);
        saver = FindWindowExW(pane, nullptr, L"WindowsScreenSaverClass", nullptr);
    }
    wchar_t className[64] = {}, title[64] = {};
    RECT client = {};
    GetClassNameW(saver, className, 64);
    GetWindowTextW(saver, title, 64);
    GetClientRect(saver, &client);
    Pump(1000); // it must keep running until its parent goes
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process.hProcess, &code) && code == STILL_ACTIVE;
    DestroyWindow(host);
    code = WaitForExit(process, 20000);

    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("found=%d\nclass=%ls\ntitle=%ls\nclient=%ldx%ld\nrunning=%d\nexit=%ld\ndpi=%d\n",
                saver != nullptr, className, title, client.right, client.bottom, running,
                static_cast<long>(code), dpi);
    const bool good = saver && std::wstring(className) == L"WindowsScreenSaverClass" &&
                      std::wstring(title) == L"Preview" && client.right == kPaneWidth &&
                      client.bottom == kPaneHeight && running && code == 0;
    return good ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "preview";
    if (mode == "run") return RunWithArguments(argc, argv);
    return CheckPreview();
}
