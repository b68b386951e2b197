// The drawing surface: creation, clearing, the memory DC cache, degenerate
// windows and GDI handle hygiene.
#include <gtest/gtest.h>

#include <set>

#include "engine/stamp.h"
#include "support/engine_fixture.h"

namespace {

class SurfaceTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        ResetEngine();
    }
    HWND window_ = nullptr;
};

TEST_F(SurfaceTest, LayoutIsBottomUpWithPaddedRows) {
    CImage image;
    ASSERT_TRUE(image.CreateRgb24(101, 7));
    EXPECT_EQ(image.imageWidth, 101);
    EXPECT_EQ(image.imageHeight, 7);
    EXPECT_EQ(image.pitch, -304); // 303 bytes padded to 304
    DIBSECTION section = {};
    GetObjectW(image.bitmap, sizeof(section), &section);
    EXPECT_EQ(image.bits, static_cast<BYTE*>(section.dsBm.bmBits) + 6 * 304);
}

TEST_F(SurfaceTest, ClearLeavesEveryByteZero) {
    window_ = StartEngineOn(333, 211);
    const CImage& image = Saver.surface;
    for (int y = 0; y < image.imageHeight; ++y)
        memset(image.Pixel(0, y), 0xAB, 3 * image.imageWidth);
    ClearSurface(Saver);
    int nonZero = 0;
    for (int y = 0; y < image.imageHeight; ++y)
        for (int x = 0; x < 3 * image.imageWidth; ++x)
            nonZero += image.Pixel(0, y)[x] != 0;
    EXPECT_EQ(nonZero, 0);
    EXPECT_EQ(image.dcUseCount, 0);
    EXPECT_EQ(image.memoryDc, nullptr);
}

TEST_F(SurfaceTest, EmptySurfaceIgnoresClearAndStamp) {
    ResetEngine();
    Saver.width = Saver.height = 100;
    Saver.spotSize = 2;
    ClearSurface(Saver);
    Stamp(Saver, 10, 10);
    EXPECT_EQ(Saver.surface.bits, nullptr);
}

TEST_F(SurfaceTest, CacheHandsOutNoHandleTwiceAndHoldsAtMostFour) {
    std::set<HDC> taken;
    HDC dcs[6];
    for (HDC& dc : dcs) {
        dc = memoryDcCache.TakeDc();
        ASSERT_NE(dc, nullptr);
        EXPECT_TRUE(taken.insert(dc).second) << "handed out twice";
    }
    for (HDC dc : dcs)
        memoryDcCache.PutDc(dc);
    EXPECT_EQ(memoryDcCache.HeldCount(), 4);
    // The most recently returned comes back first; the pushed-out ones are gone.
    EXPECT_EQ(memoryDcCache.TakeDc(), dcs[5]);
    std::set<HDC> again;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(again.insert(memoryDcCache.TakeDc()).second);
    EXPECT_EQ(memoryDcCache.HeldCount(), 0);
    for (HDC dc : again)
        memoryDcCache.PutDc(dc);
    memoryDcCache.PutDc(dcs[5]);
}

TEST_F(SurfaceTest, DegenerateWindowsRunTenThousandFrames) {
    struct Size {
        int w, h;
    } sizes[] = {{0, 0}, {1, 1}, {10, 10}, {1, 300}, {300, 1}};
    for (const Size& size : sizes) {
        for (LONG algorithm = 0; algorithm <= 6; ++algorithm) {
            SettingsRecord record;
            record.Algorithm = algorithm;
            record.Showtime = -1; // a new phase every frame
            record.Infinity = 0;
            window_ = StartEngineOn(size.w, size.h, record);
            for (int frame = 0; frame < 10000 / 7; ++frame)
                RunFrame();
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }
    SUCCEED();
}

// More clears than a process has GDI handles (about 65,000 under Wine, 10,000
// by default on Windows): a brush leaked per clear would make the last
// CreateSolidBrush fail. GetGuiResources adds a direct count where the
// platform reports one (Wine answers 0).
TEST_F(SurfaceTest, SeventyThousandClearsAndStampsLeakNoGdiHandle) {
    window_ = StartEngineOn(64, 64);
    ASSERT_NE(Saver.surface.bitmap, nullptr);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int n = 0; n < 70000; ++n) {
        ClearSurface(Saver);
        Stamp(Saver, n % 60, n % 50);
    }
    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_LE(after, before + 4) << "GDI objects grew from " << before << " to " << after;
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_NE(brush, nullptr);
    DeleteObject(brush);
}

} // namespace
