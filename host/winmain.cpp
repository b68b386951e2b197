// Process entry: the exit code is whatever the one action returned.
#include <windows.h>

#include "host/entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ExitProcess(static_cast<UINT>(HostEntry(instance, CommandTail(GetCommandLineW()))));
}
