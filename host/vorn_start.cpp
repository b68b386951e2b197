// The saver's process entry point (set by the linker, see CMakeLists.txt). It
// runs before the C runtime's own entry, which runs the static constructors
// and then WinMain.
#include <windows.h>

#include "platform/process_start.h"

extern "C" int WinMainCRTStartup();

extern "C" int VornStart() {
    ExitProcess(static_cast<UINT>(StartProcess(RunningStartPlatform(), WinMainCRTStartup)));
}
