#include "platform/process_start.h"

#include "platform/look_up.h"

namespace {

// Where Windows cannot tell, the saver runs, as it always did there.
bool ProcessorFits(ProcessorFeatureProc processorFeature) {
    return !processorFeature || processorFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE);
}

} // namespace

StartPlatform RunningStartPlatform() {
    return {LookUp<ProcessorFeatureProc>(GetModuleHandleW(L"KERNEL32.DLL"),
                                         "IsProcessorFeaturePresent"),
            MessageBoxW, RunningDllSearchPlatform()};
}

int StartProcess(const StartPlatform& platform, int (*runtime)()) {
    const bool fits = ProcessorFits(platform.processorFeature);
    RestrictDllSearch(platform.dllSearch); // the message box loads libraries too
    if (fits) return runtime();
    platform.showMessage(nullptr,
                         L"Vorn needs a processor with SSE2 (Pentium 4, Athlon 64 or later).",
                         L"Vorn", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return kProcessorRefused;
}
