// vorn-render: runs the real engine off-screen on a hidden window for a fixed
// number of frames and writes the surface as a 24-bit BMP. Scripts ask it for
// the tables they need (below) rather than keeping copies.
//
// Pictures are reproducible: the generator is seeded with --seed instead of
// the clock, and the engine's clock is replaced by a simulated one that
// starts at a fixed second and advances by Speed milliseconds per frame, as if
// each frame's pause had been taken (with Speed 0 time stands still). The
// settings come from the command line, made what a load would make of them
// stored; the registry is never touched.
//
//   vorn-render.exe --settings
//       prints each setting's name and default, one a line, in the table's order.
//   vorn-render.exe --motions
//       prints each motion's stored Algorithm value and name, one a line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/stamp.h"
#include "engine/vorn_saver.h"
#include "settings/settings.h"

namespace {

// The simulated clock: a fixed start, whole seconds from elapsed milliseconds.
const long long kClockStart = 1700000000;
long long elapsedMs = 0;

struct RenderOptions {
    int width = 800;
    int height = 600;
    int frames = 3000;
    unsigned seed = 1;
    std::string out;
};
SettingsRecord chosenSettings; // as the command line gives them

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

bool IsColor(const SettingRow& row) {
    return row.offset == offsetof(SettingsRecord, Color);
}

void PrintUsage() {
    std::fprintf(stderr, "usage: vorn-render.exe --settings | --motions | --width W --height H"
                         " --frames N --seed S --out FILE.bmp");
    for (const SettingRow& row : kSettingRows)
        std::fprintf(stderr, " [--%ls %s]", row.name, IsColor(row) ? "0xBBGGRR" : "N");
    std::fprintf(stderr, "\n");
}

int PrintSettings() {
    for (const SettingRow& row : kSettingRows)
        std::printf("%ls %ld\n", row.name, static_cast<long>(row.defaultValue));
    return 0;
}

// Any 32-bit pattern, as stored settings may hold; LoadChosenSettings corrects it.
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
    const std::wstring settingName(name.begin(), name.end());
    for (const SettingRow& row : kSettingRows) {
        if (settingName == row.name) {
            SetValue(chosenSettings, row, static_cast<LONG>(static_cast<DWORD>(value)));
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
    const DWORD pixelBytes = static_cast<DWORD>(stride) * static_cast<DWORD>(image.imageHeight);
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

long long SimulatedNow() {
    return kClockStart + elapsedMs / 1000;
}

void LoadChosenSettings() {
    for (const SettingRow& row : kSettingRows)
        SetValue(Settings, row, row.onLoad(ValueOf(chosenSettings, row)));
}

} // namespace

int main(int argc, char** argv) {
    engineClock = SimulatedNow;
    engineSettingsLoader = LoadChosenSettings;
    if (argc == 2 && std::strcmp(argv[1], "--settings") == 0) return PrintSettings();
    if (argc == 2 && std::strcmp(argv[1], "--motions") == 0) return ListMotions();
    RenderOptions options;
    if (!ParseCommandLine(argc, argv, options)) {
        PrintUsage();
        return 2;
    }
    return Render(options);
}
