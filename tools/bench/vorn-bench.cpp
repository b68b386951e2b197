// vorn-bench: what the engine costs on a visible window, beside the bare
// operations of the floor program (tools/bench/vorn-floor.cpp). It measures and
// prints; it never fails on a slow machine.
//
//   vorn-bench.exe [--pairs N] [--json FILE] [WxH ...]
//
// Sizes default to 800x600 1920x1080 3840x2160; a size that the screen cannot
// show is skipped. Every figure is the median of N batches (default 21), each
// comparison the median and interquartile range of the per-pair ratios, the
// two sides of a pair run back to back in alternating order, so that a load
// coming and going on the machine touches both alike. The real engine loads
// the settings of the prefix it runs in (scripts/bench.sh clears them first).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "engine/image.h"
#include "engine/motions.h"
#include "engine/stamp.h"
#include "engine/vorn_saver.h"
#include "settings/settings.h"
#include "tools/bench/bare_surface.h"

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Spread {
    double median = 0, q1 = 0, q3 = 0, min = 0, max = 0;
};

double Quantile(const std::vector<double>& sorted, double q) {
    const double at = q * static_cast<double>(sorted.size() - 1);
    const size_t low = static_cast<size_t>(at);
    const size_t high = std::min(low + 1, sorted.size() - 1);
    return sorted[low] + (sorted[high] - sorted[low]) * (at - static_cast<double>(low));
}

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {Quantile(values, 0.5), Quantile(values, 0.25), Quantile(values, 0.75), values.front(),
            values.back()};
}

// Microseconds per call of each side, batch by batch, and their ratios.
struct Comparison {
    Spread subject, floor, ratio;
};

using Batch = std::function<void()>;

double TimeBatch(const Batch& one, int calls) {
    const double start = Seconds();
    for (int i = 0; i < calls; ++i)
        one();
    return (Seconds() - start) * 1e6 / calls;
}

Comparison Compare(const Batch& subject, const Batch& floor, int calls, int pairs) {
    std::vector<double> subjects, floors, ratios;
    for (int pair = 0; pair < pairs; ++pair) {
        double s, f;
        if (pair % 2) {
            f = TimeBatch(floor, calls);
            s = TimeBatch(subject, calls);
        } else {
            s = TimeBatch(subject, calls);
            f = TimeBatch(floor, calls);
        }
        subjects.push_back(s);
        floors.push_back(f);
        ratios.push_back(s / f);
    }
    return {SpreadOf(subjects), SpreadOf(floors), SpreadOf(ratios)};
}

Spread TimeAlone(const Batch& one, int calls, int batches) {
    std::vector<double> times;
    for (int i = 0; i < batches; ++i)
        times.push_back(TimeBatch(one, calls));
    return SpreadOf(times);
}

// --- output: markdown on stdout, JSON to a file ---

FILE* json = nullptr;
bool jsonFirst = true;

void JsonSpread(const char* name, const Spread& s) {
    fprintf(json,
            "\"%s\": {\"median\": %.4g, \"q1\": %.4g, \"q3\": %.4g, \"min\": %.4g, \"max\": %.4g}",
            name, s.median, s.q1, s.q3, s.min, s.max);
}

void JsonRow(const char* kind, const std::string& fields, const Comparison* c,
             const Spread* alone) {
    if (!json) return;
    fprintf(json, "%s\n    {\"kind\": \"%s\", %s", jsonFirst ? "" : ",", kind, fields.c_str());
    jsonFirst = false;
    if (c) {
        fprintf(json, ", ");
        JsonSpread("us", c->subject);
        fprintf(json, ", ");
        JsonSpread("floor_us", c->floor);
        fprintf(json, ", ");
        JsonSpread("ratio", c->ratio);
    }
    if (alone) {
        fprintf(json, ", ");
        JsonSpread("us", *alone);
    }
    fprintf(json, "}");
}

std::string RatioText(const Spread& r) {
    char text[64];
    snprintf(text, sizeof(text), "%.2f (%.2f–%.2f)", r.median, r.q1, r.q3);
    return text;
}

// --- the window and the floor's bare operations ---

HWND MakeWindow(int width, int height) {
    static ATOM registered = 0;
    if (!registered) {
        WNDCLASSW windowClass = {};
        windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = L"VornBench";
        registered = RegisterClassW(&windowClass);
    }
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"VornBench", L"vorn-bench",
                           WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

// The engine as a fresh window would start it: no surface, no font, no frames yet.
void ResetEngine() {
    Saver.surface.FreeBitmap();
    if (Saver.windowDc) DeleteObject(SelectObject(Saver.windowDc, GetStockObject(SYSTEM_FONT)));
    Saver.frameCycle = FrameCycleState();
}

// The engine and its window go; the next size starts afresh.
void EndWindow(HWND window) {
    ResetEngine();
    Saver.windowDc = nullptr;
    DestroyWindow(window);
    PumpMessages();
}

// The frame figures hold phases still, so every frame is one motion step.
void StartForFrames(HWND window) {
    ResetEngine();
    StartEngine(window);
    Settings.Infinity = 1;
    Settings.FPS = 0;
    for (int i = 0; i < 3; ++i)
        RunFrame(); // the first phase and the early re-initialisation
}

void BenchSize(int width, int height, int pairs) {
    HWND window = MakeWindow(width, height);
    PumpMessages();
    StartForFrames(window);
    BareSurface bare;
    bare.Create(width, height);
    HDC windowDc = Saver.windowDc;
    int walk = 0;
    const Batch bareBlit = [&] {
        const int at = (walk++ * 4) % (width - 16);
        StretchBlt(windowDc, at, at % (height - 16), 16, 16, bare.dc, at, 0, 16, 16, SRCCOPY);
    };
    char fields[128];

    printf("\n#### %d x %d (spot %d): one frame, microseconds\n\n", width, height, Saver.spotSize);
    printf("| Motion | Square | ÷ bare blit | Round | ÷ bare blit | Bare 16 x 16 blit |\n");
    printf("|---|---:|---:|---:|---:|---:|\n");
    for (int row = 0; row < kMotionCount; ++row) {
        Saver.algorithmIndex = row;
        Saver.motionTable[row].init(Saver);
        Comparison shapes[2];
        for (int round = 0; round < 2; ++round) {
            Settings.Round = round;
            shapes[round] = Compare(RunFrame, bareBlit, 200, pairs);
            snprintf(fields, sizeof(fields),
                     "\"width\": %d, \"height\": %d, \"motion\": \"%s\", \"round\": %d", width,
                     height, kMotionRows[row].name, round);
            JsonRow("RunFrame", fields, &shapes[round], nullptr);
        }
        printf("| %s | %.2f | %s | %.2f | %s | %.2f |\n", kMotionRows[row].name,
               shapes[0].subject.median, RatioText(shapes[0].ratio).c_str(),
               shapes[1].subject.median, RatioText(shapes[1].ratio).c_str(),
               (shapes[0].floor.median + shapes[1].floor.median) / 2);
        PumpMessages();
    }
    Settings.Round = 0;

    RECT all = {0, 0, width, height};
    const Batch bareClear = [&] {
        FillRect(bare.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        StretchBlt(windowDc, 0, 0, width, height, bare.dc, 0, 0, width, height, SRCCOPY);
    };
    const Comparison clear = Compare([] { ClearSurface(Saver); }, bareClear, 3, pairs);
    snprintf(fields, sizeof(fields), "\"width\": %d, \"height\": %d", width, height);
    JsonRow("ClearSurface", fields, &clear, nullptr);
    PumpMessages();

    // StartEngine alone is timed; putting the engine back is not.
    std::vector<double> starts, bareStarts, ratios;
    for (int pair = 0; pair < (pairs + 1) / 2; ++pair) {
        ResetEngine();
        double start = Seconds();
        StartEngine(window);
        starts.push_back((Seconds() - start) * 1e6);
        BareSurface fresh;
        start = Seconds();
        fresh.Create(width, height);
        FillRect(fresh.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        StretchBlt(windowDc, 0, 0, width, height, fresh.dc, 0, 0, width, height, SRCCOPY);
        bareStarts.push_back((Seconds() - start) * 1e6);
        fresh.Destroy();
        ratios.push_back(starts.back() / bareStarts.back());
        PumpMessages();
    }
    const Comparison start = {SpreadOf(starts), SpreadOf(bareStarts), SpreadOf(ratios)};
    JsonRow("StartEngine", fields, &start, nullptr);

    printf("\n| %d x %d, milliseconds | Vorn | Bare | Vorn ÷ bare |\n|---|---:|---:|---:|\n", width,
           height);
    printf("| ClearSurface / FillRect + full blit | %.2f | %.2f | %s |\n",
           clear.subject.median / 1e3, clear.floor.median / 1e3, RatioText(clear.ratio).c_str());
    printf("| StartEngine / new surface, FillRect + full blit | %.2f | %.2f | %s |\n",
           start.subject.median / 1e3, start.floor.median / 1e3, RatioText(start.ratio).c_str());

    bare.Destroy();
    EndWindow(window);
}

// What single calls of a frame cost here, on a visible window: the figures
// behind the frame's cost beside the floor's.
void BenchCalls(int pairs) {
    HWND window = MakeWindow(640, 480);
    PumpMessages();
    StartForFrames(window);
    HDC windowDc = Saver.windowDc;
    BareSurface bare;
    bare.Create(640, 480);
    SetCursor(nullptr);
    struct Call {
        const char* name;
        int calls;
        Batch one;
    };
    const Call calls[] = {
        {"SetCursor(NULL), cursor already hidden", 200, [] { SetCursor(nullptr); }},
        {"GetCursor", 200, [] { GetCursor(); }},
        {"_time64", 200, [] { _time64(nullptr); }},
        {"surface selected in and out (BorrowDc + ReturnDc)", 200,
         [] {
             Saver.surface.BorrowDc();
             Saver.surface.ReturnDc();
         }},
        {"16 x 16 StretchBlt from a kept memory DC", 200,
         [&] { StretchBlt(windowDc, 8, 8, 16, 16, bare.dc, 8, 8, 16, 16, SRCCOPY); }},
        {"Sleep(0)", 200, [] { Sleep(0); }},
        {"Sleep(10)", 5, [] { Sleep(10); }},
    };
    printf("\n#### Single calls, microseconds (median of %d batches, interquartile range)\n\n",
           pairs);
    printf("| Call | Microseconds |\n|---|---:|\n");
    for (const Call& call : calls) {
        const Spread cost = TimeAlone(call.one, call.calls, pairs);
        printf("| %s | %.2f (%.2f–%.2f) |\n", call.name, cost.median, cost.q1, cost.q3);
        JsonRow("call", std::string("\"call\": \"") + call.name + "\"", nullptr, &cost);
    }
    bare.Destroy();
    EndWindow(window);
}

} // namespace

int main(int argc, char** argv) {
    int pairs = 21;
    const char* jsonPath = nullptr;
    std::vector<std::pair<int, int>> sizes;
    for (int i = 1; i < argc; ++i) {
        int width = 0, height = 0;
        if (!strcmp(argv[i], "--pairs") && i + 1 < argc) {
            pairs = std::max(3, atoi(argv[++i]));
        } else if (!strcmp(argv[i], "--json") && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (sscanf(argv[i], "%dx%d", &width, &height) == 2 && width > 16 && height > 16) {
            sizes.push_back({width, height});
        } else {
            fprintf(stderr, "usage: vorn-bench.exe [--pairs N] [--json FILE] [WxH ...]\n");
            return 2;
        }
    }
    if (sizes.empty()) sizes = {{800, 600}, {1920, 1080}, {3840, 2160}};
    if (jsonPath) json = fopen(jsonPath, "w");
    if (json) fprintf(json, "[");

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    printf("Engine on a visible window (screen %d x %d), %d pairs of batches a figure; "
           "ratios: median (interquartile range)\n",
           screenWidth, screenHeight, pairs);
    BenchCalls(pairs);
    for (const auto& size : sizes) {
        if (size.first > screenWidth || size.second > screenHeight) {
            printf("\n%d x %d skipped: the screen is %d x %d\n", size.first, size.second,
                   screenWidth, screenHeight);
            continue;
        }
        BenchSize(size.first, size.second, pairs);
    }
    if (json) {
        fprintf(json, "\n]\n");
        fclose(json);
    }
    return 0;
}
