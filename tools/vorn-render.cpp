// vorn-render: runs the real engine off-screen on a hidden window for a fixed
// number of frames and writes the surface as a 24-bit BMP. With --motions it
// lists the motions instead, one a line: the stored Algorithm value and the
// name, for scripts that render each motion.
//
// Pictures are reproducible: the generator is seeded with --seed instead of
// the clock, and the engine's clock is replaced by a simulated one that
// starts at a fixed second and advances by Speed milliseconds per frame, as if
// each frame's pause had been taken (with Speed 0 time stands still). The
// settings reach the engine through the registry key, as the saver's do; the
// key is put back exactly as it was found.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"
#include "settings/settings.h"

namespace {

const char kUsage[] =
    "usage: vorn-render.exe --width W --height H --frames N --seed S --out FILE.bmp"
    " [--Showtime N] [--Speed N] [--Algorithm N] [--Infinity N] [--Color 0xBBGGRR]"
    " [--Rainbow N] [--Mode N] [--Round N] [--LineNew N] [--FPS N]; or vorn-render.exe --motions";

// The simulated clock: a fixed start, whole seconds from elapsed milliseconds.
const long long kClockStart = 1700000000;
long long elapsedMs = 0;

struct RenderOptions {
    int width = 800;
    int height = 600;
    int frames = 3000;
    unsigned seed = 1;
    std::string out;
    SettingsRecord settings;
};

// Decimal, or hexadecimal after 0x; an optional leading minus. The whole
// text must be the number.
bool ParseNumber(const char* text, long long low, long long high, long long& value) {
    const char* p = text;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (!*p) return false;
    long long magnitude = 0;
    for (; *p; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (base == 16 && *p >= 'a' && *p <= 'f')
            digit = *p - 'a' + 10;
        else if (base == 16 && *p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > (1LL << 40)) return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= low && value <= high;
}

struct SettingOption {
    const char* name;
    LONG SettingsRecord::*field;
};

const SettingOption kSettingOptions[] = {
    {"Showtime", &SettingsRecord::Showtime},
    {"Speed", &SettingsRecord::Speed},
    {"Algorithm", &SettingsRecord::Algorithm},
    {"Infinity", &SettingsRecord::Infinity},
    {"Rainbow", &SettingsRecord::Rainbow},
    {"Mode", &SettingsRecord::Mode},
    {"Round", &SettingsRecord::Round},
    {"LineNew", &SettingsRecord::LineNew},
    {"FPS", &SettingsRecord::FPS},
};

// Any 32-bit pattern is a stored setting; the engine applies its own limits.
const long long kSettingLow = -2147483648LL;
const long long kSettingHigh = 4294967295LL;
const long long kMaxSide = 16384;

bool ApplyOption(RenderOptions& options, const std::string& name, const char* text) {
    long long value = 0;
    if (name == "out") {
        options.out = text;
        return !options.out.empty();
    }
    if (name == "width" || name == "height") {
        if (!ParseNumber(text, 1, kMaxSide, value)) return false;
        (name == "width" ? options.width : options.height) = static_cast<int>(value);
        return true;
    }
    if (name == "frames") {
        if (!ParseNumber(text, 0, 2147483647LL, value)) return false;
        options.frames = static_cast<int>(value);
        return true;
    }
    if (name == "seed") {
        if (!ParseNumber(text, 0, 4294967295LL, value)) return false;
        options.seed = static_cast<unsigned>(value);
        return true;
    }
    if (!ParseNumber(text, kSettingLow, kSettingHigh, value)) return false;
    const LONG stored = static_cast<LONG>(static_cast<DWORD>(value));
    if (name == "Color") {
        options.settings.Color = static_cast<COLORREF>(stored);
        return true;
    }
    for (const SettingOption& option : kSettingOptions) {
        if (name == option.name) {
            options.settings.*option.field = stored;
            return true;
        }
    }
    return false;
}

bool ParseCommandLine(int argc, char** argv, RenderOptions& options) {
    for (int i = 1; i < argc; i += 2) {
        if (std::strncmp(argv[i], "--", 2) != 0 || i + 1 >= argc) return false;
        if (!ApplyOption(options, argv[i] + 2, argv[i + 1])) return false;
    }
    return !options.out.empty();
}

// --- The settings key, saved before the run and put back after it.

struct SavedValue {
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct SavedKey {
    bool keyExisted = false;
    std::vector<std::wstring> missingParents; // created by this run, deepest last
    std::vector<SavedValue> values;
};

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<SavedValue> ReadAllValues(HKEY key) {
    std::vector<SavedValue> values;
    DWORD count = 0, maxName = 0, maxData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName,
                     &maxData, nullptr, nullptr);
    std::vector<wchar_t> name(maxName + 1);
    for (DWORD i = 0; i < count; ++i) {
        SavedValue value;
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = maxData;
        value.data.resize(maxData + 1);
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &value.type, value.data.data(),
                          &size) != ERROR_SUCCESS)
            continue;
        value.name.assign(name.data(), nameLength);
        value.data.resize(size);
        values.push_back(value);
    }
    return values;
}

SavedKey SaveKey() {
    SavedKey saved;
    const std::wstring path = kSettingsKeyPath;
    for (size_t at = path.find(L'\\', path.find(L'\\') + 1); at != std::wstring::npos;
         at = path.find(L'\\', at + 1)) {
        const std::wstring parent = path.substr(0, at);
        if (!KeyExists(parent)) saved.missingParents.push_back(parent);
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        saved.keyExisted = true;
        saved.values = ReadAllValues(key);
        RegCloseKey(key);
    }
    return saved;
}

bool HasValue(const std::vector<SavedValue>& values, const std::wstring& name) {
    for (const SavedValue& value : values)
        if (_wcsicmp(value.name.c_str(), name.c_str()) == 0) return true;
    return false;
}

void RestoreKey(const SavedKey& saved) {
    if (!saved.keyExisted) {
        RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKeyPath);
        for (auto parent = saved.missingParents.rbegin(); parent != saved.missingParents.rend();
             ++parent)
            RegDeleteKeyW(HKEY_CURRENT_USER, parent->c_str());
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ | KEY_WRITE, &key) !=
        ERROR_SUCCESS)
        return;
    for (const SavedValue& now : ReadAllValues(key))
        if (!HasValue(saved.values, now.name)) RegDeleteValueW(key, now.name.c_str());
    for (const SavedValue& value : saved.values)
        RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
}

// --- The run.

const wchar_t kWindowClass[] = L"VornRenderWindow";

LRESULT CALLBACK RenderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: StartEngine(window); return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A hidden pop-up whose client area is exactly the picture; its own device
// context keeps the engine's font and colours for the run.
HWND CreateRenderWindow(int width, int height) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = RenderWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, kWindowClass, L"vorn-render", WS_POPUP, 0, 0, width, height, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

void RunFrames(int frames) {
    for (int frame = 0; frame < frames; ++frame) {
        RunFrame();
        if (Settings.Speed > 0) elapsedMs += Settings.Speed;
    }
}

// The file holds the surface's own bytes: bottom row first, rows padded to
// whole 32-bit words.
bool WriteBmp(const std::string& path, const CImage& image) {
    GdiFlush();
    const int stride = Rgb24Stride(image.imageWidth);
    const DWORD pixelBytes = static_cast<DWORD>(stride) * image.imageHeight;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof(info);
    info.biWidth = image.imageWidth;
    info.biHeight = image.imageHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixelBytes;
    const BYTE* firstInMemory = image.bits + (image.imageHeight - 1) * image.pitch;

    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                   std::fwrite(&info, sizeof(info), 1, out) == 1 &&
                   std::fwrite(firstInMemory, 1, pixelBytes, out) == pixelBytes;
    written = std::fclose(out) == 0 && written;
    return written;
}

int Render(const RenderOptions& options) {
    HWND window = CreateRenderWindow(options.width, options.height);
    if (!window) {
        std::fprintf(stderr, "vorn-render: could not create the window\n");
        return 1;
    }
    const KVornSaver& saver = Saver;
    if (saver.width != options.width || saver.height != options.height || !saver.surface.bits) {
        std::fprintf(stderr, "vorn-render: could not make a %dx%d surface\n", options.width,
                     options.height);
        return 1;
    }
    srand(options.seed); // in place of the clock, before the first frame's draws
    RunFrames(options.frames);
    if (!WriteBmp(options.out, saver.surface)) {
        std::fprintf(stderr, "vorn-render: could not write %s\n", options.out.c_str());
        return 1;
    }
    DestroyWindow(window);
    return 0;
}

int ListMotions() {
    for (int row = 0; row < kMotionCount; ++row)
        std::printf("%ld %s\n", AlgorithmOfRow(row), kMotionRows[row].name);
    return 0;
}

} // namespace

long long VornNow() {
    return kClockStart + elapsedMs / 1000;
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--motions") == 0) return ListMotions();
    RenderOptions options;
    if (!ParseCommandLine(argc, argv, options)) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    const SavedKey saved = SaveKey();
    Settings = options.settings;
    SaveSettings();
    const int result = Render(options);
    RestoreKey(saved);
    return result;
}
