// The real engine on windows of awkward sizes, every motion and stamp shape
// and mode: no byte outside the picture's pixels is ever written.
#include <gtest/gtest.h>

#include <climits>

#include "engine/stamp.h"
#include "support/engine_fixture.h"
#include "support/fake_clock.h"

namespace {

// The engine's surface rebuilt, at the same size, over memory of ours: the
// rows lie between two guard areas, and each row's padding is filled like
// them, so a write anywhere but a pixel shows.
class GuardedSurface {
  public:
    static constexpr DWORD kGuard = 4096;
    static constexpr BYTE kFill = 0xA5;

    explicit GuardedSurface(CImage& image) {
        width_ = image.imageWidth;
        height_ = image.imageHeight;
        stride_ = Rgb24Stride(width_);
        total_ = 2 * kGuard + static_cast<DWORD>(stride_) * height_;
        section_ =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, total_, nullptr);
        view_ = static_cast<BYTE*>(MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, total_));
        if (!view_) return;
        memset(view_, kFill, total_);
        for (int row = 0; row < height_; ++row)
            memset(view_ + kGuard + row * stride_, 0, 3 * width_);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, section_, kGuard);
        if (!bitmap) return;
        // The bitmap's bits must be this memory, or the guard would prove nothing.
        *static_cast<volatile BYTE*>(bits) = 1;
        const bool shared = view_[kGuard] == 1;
        *static_cast<volatile BYTE*>(bits) = 0;
        if (!shared) {
            DeleteObject(bitmap);
            return;
        }
        image.FreeBitmap();
        image.bitmap = bitmap;
        image.bits = static_cast<BYTE*>(bits) + (height_ - 1) * stride_;
        image.imageWidth = width_;
        image.imageHeight = height_;
        image.pitch = -stride_;
        installed_ = true;
    }
    ~GuardedSurface() {
        if (view_) UnmapViewOfFile(view_);
        if (section_) CloseHandle(section_);
    }
    bool Installed() const { return installed_; }

    // Bytes outside the pixels that no longer hold the fill.
    int Damaged() const {
        int damaged = 0;
        auto count = [&](DWORD from, DWORD to) {
            for (DWORD at = from; at < to; ++at)
                damaged += view_[at] != kFill;
        };
        count(0, kGuard);
        for (int row = 0; row < height_; ++row)
            count(kGuard + row * stride_ + 3 * width_, kGuard + (row + 1) * stride_);
        count(total_ - kGuard, total_);
        return damaged;
    }

  private:
    int width_ = 0, height_ = 0, stride_ = 0;
    DWORD total_ = 0;
    HANDLE section_ = nullptr;
    BYTE* view_ = nullptr;
    bool installed_ = false;
};

// Stamps requested on, around and far beyond every edge.
void StampAtTheEdges(int width, int height) {
    const int s = Saver.spotSize;
    for (int x : {INT_MIN, -s - 1, -1, 0, 1, width - s - 1, width - s, width - 1, width, INT_MAX})
        for (int y :
             {INT_MIN, -s - 1, -1, 0, 1, height - s - 1, height - s, height - 1, height, INT_MAX})
            Stamp(Saver, x, y);
}

// Starts the real engine with this motion on the window, puts a guarded
// surface under it, and runs a phase of frames for every stamp shape, step
// rule and mode. Returns the bytes written outside the pixels.
int StrayWrites(HWND window, int width, int height, LONG algorithm) {
    SettingsRecord record;
    record.Algorithm = algorithm;
    record.Showtime = 0; // a new phase at every tick of the clock
    record.Infinity = 0;
    record.Rainbow = 1;
    record.FPS = 1;
    ResetEngine();
    StoreSettings(record);
    StartEngine(window);
    EXPECT_EQ(Saver.width, width);
    EXPECT_EQ(Saver.height, height);
    GuardedSurface guard(Saver.surface);
    EXPECT_EQ(guard.Installed(), width > 0) << "only an empty window has no surface";
    for (int phase = 0; phase < 2 * 2 * 3; ++phase) {
        Settings.Round = phase % 2;
        Settings.LineNew = phase / 2 % 2;
        Settings.Mode = phase / 4;
        ++fakeNow;
        for (int frame = 0; frame < 100; ++frame)
            RunFrame();
        StampAtTheEdges(width, height);
    }
    const int damaged = guard.Installed() ? guard.Damaged() : 0;
    ResetEngine();
    return damaged;
}

TEST(SurfaceBounds, NoWriteOutsideThePixelsAtAnySize) {
    const struct {
        int width, height;
    } sizes[] = {{0, 0}, {1, 1}, {2, 2}, {69, 69}, {70, 70}, {152, 112}, {4000, 3}, {3, 4000}};
    for (const auto& size : sizes) {
        HWND window = MakeTestWindow(size.width, size.height);
        for (LONG algorithm = 0; algorithm <= kLastAlgorithm; ++algorithm)
            EXPECT_EQ(StrayWrites(window, size.width, size.height, algorithm), 0)
                << size.width << "x" << size.height << ", Algorithm " << algorithm;
        DestroyWindow(window);
    }
}

} // namespace
