#include "support/engine_fixture.h"

#include <new>

#include "engine/stamp.h"
#include "engine/trig_motions.h"

namespace {

const wchar_t kTestClass[] = L"VornTestWindow";

void RegisterTestClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTestClass;
    RegisterClassW(&windowClass);
    registered = true;
}

} // namespace

HWND MakeTestWindow(int width, int height) {
    RegisterTestClass();
    HWND window = CreateWindowExW(0, kTestClass, L"Vorn test", WS_POPUP, 0, 0, width, height,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    return window;
}

void ShapeSaver(KVornSaver& saver, int width, int height) {
    saver.width = width;
    saver.height = height;
    saver.spotSize = SpotSizeFor(height);
    saver.intensity = IntensityFor(height);
    saver.centerX = width / 2;
    saver.centerY = height / 2;
}

HWND MakeHiddenWindow(WNDPROC procedure, const wchar_t* className) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass); // fails harmlessly when already registered
    return CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

void ResetEngine() {
    Saver.surface.FreeBitmap();
    Saver.~KVornSaver();
    new (&Saver) KVornSaver();
    frameCycle = FrameCycleState();
    Settings = SettingsRecord();
    rainbowCounter = 0;
    ResetTrigRunValues();
}

void DeleteSettingsKey() {
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKeyPath);
}

void StoreSettings(const SettingsRecord& record) {
    SettingsRecord kept = Settings;
    Settings = record;
    SaveSettings();
    Settings = kept;
}

HWND StartEngineOn(int width, int height, const SettingsRecord& record) {
    ResetEngine();
    StoreSettings(record);
    HWND window = MakeTestWindow(width, height);
    StartEngine(window);
    return window;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_PAINT) {
            ValidateRect(message.hwnd, nullptr);
            continue;
        }
        DispatchMessageW(&message);
    }
}
