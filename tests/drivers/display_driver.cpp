// Plays the system's part in a display change for the running full-screen
// saver, from another process:
//   display_driver rect     prints "window=L,T,R,B virtual=L,T,R,B": the saver
//                           window's rectangle ("none" without one) and the
//                           virtual screen
//   display_driver change   sends the saver WM_DISPLAYCHANGE as Windows does
//                           (wParam the bits per pixel, lParam the primary's
//                           width and height), then prints as "rect" does
// Exits with 1 when there is no saver window or it does not answer.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool change = argc > 1 && strcmp(argv[1], "change") == 0;
    HWND saver = FindWindowW(L"WindowsScreenSaverClass", L"Screen Saver");
    if (change && saver) {
        HDC screen = GetDC(nullptr);
        const WPARAM bits = static_cast<WPARAM>(GetDeviceCaps(screen, BITSPIXEL));
        ReleaseDC(nullptr, screen);
        const LPARAM size =
            MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(saver, WM_DISPLAYCHANGE, bits, size, SMTO_ABORTIFHUNG, 10000,
                                 &answer)) {
            fprintf(stderr, "the saver does not answer\n");
            return 1;
        }
    }
    RECT window = {};
    if (saver && GetWindowRect(saver, &window))
        printf("window=%ld,%ld,%ld,%ld", window.left, window.top, window.right, window.bottom);
    else
        printf("window=none");
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    printf(" virtual=%d,%d,%d,%d\n", x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
           y + GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return saver ? 0 : 1;
}
