#include "support/engine_fixture.h"

void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, UINT style) {
    WNDCLASSW windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass); // fails harmlessly when already registered
}

HWND MakeHiddenWindow(WNDPROC procedure, const wchar_t* className, int width, int height,
                      UINT classStyle) {
    RegisterWindowClass(className, procedure, classStyle);
    return CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND MakeTestWindow(int width, int height) {
    HWND window = MakeHiddenWindow(DefWindowProcW, L"VornTestWindow", width, height, CS_OWNDC);
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

void ResetEngine() {
    ResetSaver();
    Settings = SettingsRecord();
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
