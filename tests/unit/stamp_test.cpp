// The stamp renderer against a real DIB section: colour arithmetic per mode,
// the rainbow, the round mask and clipping.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/stamp.h"
#include "support/engine_fixture.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb ColorOf(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

TEST(RainbowColor, Samples) {
    struct Case {
        uint32_t n;
        Rgb expected;
    } cases[] = {
        {0, {255, 0, 0}},     {100, {255, 100, 0}}, {255, {255, 255, 0}},
        {256, {255, 255, 0}}, {300, {211, 255, 0}}, {600, {0, 255, 88}},
        {1000, {0, 23, 255}}, {1100, {76, 0, 255}}, {1400, {255, 0, 135}},
        {1534, {255, 0, 1}},  {1535, {255, 0, 0}},  {4294967295u, {56, 255, 0}},
    };
    for (const Case& c : cases) {
        Rgb got = ColorOf(RainbowColor(c.n));
        EXPECT_EQ(got.r, c.expected.r) << "n=" << c.n;
        EXPECT_EQ(got.g, c.expected.g) << "n=" << c.n;
        EXPECT_EQ(got.b, c.expected.b) << "n=" << c.n;
    }
}

TEST(RoundMask, SmallSizes) {
    struct Case {
        int s;
        const char* rows; // rows top to bottom, '/' between them
    } cases[] = {
        {1, "."},
        {2, "##/#."},
        {3, "##./##./..."},
        {4, "###./####/###./.#.."},
        {5, "####./####./####./####./....."},
    };
    for (const Case& c : cases) {
        std::string mask;
        for (int j = 0; j < c.s; ++j) {
            if (j) mask += '/';
            for (int i = 0; i < c.s; ++i)
                mask += RoundMaskCovers(i, j, c.s) ? '#' : '.';
        }
        EXPECT_EQ(mask, c.rows) << "s=" << c.s;
    }
}

TEST(StampClipping, FullHdWithSixteenPixelSpot) {
    struct Case {
        int requested, expected;
    } columns[] = {{1904, 1903}, {1903, 1903}, {1000, 1000}, {0, 0}, {-5, 0}, {INT_MAX, 1903}},
      rows[] = {{1064, 1064}, {1065, 1063}, {500, 500}, {0, 0}, {-1, 0}, {INT_MAX, 1063}};
    for (const Case& c : columns)
        EXPECT_EQ(ClipStampColumn(c.requested, 16, 1920), c.expected) << "x=" << c.requested;
    for (const Case& c : rows)
        EXPECT_EQ(ClipStampRow(c.requested, 16, 1080), c.expected) << "y=" << c.requested;
}

class StampTest : public ::testing::Test {
  protected:
    // A surface of the given height (so spotSize and intensity follow it),
    // with the settings' colour options set for the stamps.
    void Start(int width, int height, LONG mode, COLORREF color = 0x00FF0000, LONG rainbow = 0,
               LONG round = 0) {
        window_ = StartEngineOn(width, height);
        Settings.Mode = mode;
        Settings.Color = color;
        Settings.Rainbow = rainbow;
        Settings.Round = round;
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        ResetEngine();
    }
    const BYTE* At(int x, int y) const { return Saver.surface.Pixel(x, y); }
    HWND window_ = nullptr;
};

TEST_F(StampTest, ModeOneSaturatesBlueAtTheTwentyFourthStamp) {
    Start(800, 600, 1);
    ASSERT_EQ(Saver.intensity, 3);
    for (int n = 1; n <= 25; ++n) {
        Stamp(Saver, 100, 100);
        EXPECT_EQ(At(100, 100)[0], n < 24 ? 11 * n : 255) << "stamp " << n;
        EXPECT_EQ(At(100, 100)[1], 0);
        EXPECT_EQ(At(100, 100)[2], 0);
    }
}

TEST_F(StampTest, ModeZeroWrapsBlueToEightOnTheTwentyFourthStamp) {
    Start(800, 600, 0);
    for (int n = 1; n <= 24; ++n)
        Stamp(Saver, 100, 100);
    EXPECT_EQ(At(100, 100)[0], 8);
    EXPECT_EQ(At(100, 100)[2], 0);
}

TEST_F(StampTest, ModeTwoRampsRedAndIgnoresColour) {
    Start(300, 300, 2, RGB(200, 200, 200), 1);
    ASSERT_EQ(Saver.intensity, 7);
    for (int n = 1; n <= 10; ++n) {
        Stamp(Saver, 50, 50);
        EXPECT_EQ(At(50, 50)[2], n <= 9 ? 28 * n : 24) << "stamp " << n;
        EXPECT_EQ(At(50, 50)[0], 0);
        EXPECT_EQ(At(50, 50)[1], 0);
    }
}

TEST_F(StampTest, UnknownModeChangesNothingButShowsTheSquare) {
    Start(300, 300, 3);
    // Show onto a bitmap of ours, so what reaches the "window" can be read.
    CImage shown;
    ASSERT_TRUE(shown.CreateRgb24(300, 300));
    HDC target = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(target, shown.bitmap);
    Saver.windowDc = target;
    BYTE* pixel = Saver.surface.Pixel(20, 20);
    pixel[0] = 0x40, pixel[1] = 0x80, pixel[2] = 0xC0; // something to show
    Stamp(Saver, 20, 20);
    GdiFlush();
    EXPECT_EQ(At(20, 20)[0], 0x40);
    EXPECT_EQ(At(20, 20)[2], 0xC0);
    EXPECT_EQ(At(21, 21)[0], 0);
    EXPECT_EQ(shown.Pixel(20, 20)[0], 0x40);
    EXPECT_EQ(shown.Pixel(20, 20)[1], 0x80);
    EXPECT_EQ(shown.Pixel(20, 20)[2], 0xC0);
    SelectObject(target, old);
    DeleteDC(target);
}

TEST_F(StampTest, DimColourAddsNothing) {
    Start(800, 600, 1, RGB(21, 21, 21));
    Stamp(Saver, 10, 10);
    EXPECT_EQ(At(10, 10)[0] + At(10, 10)[1] + At(10, 10)[2], 0);
}

TEST_F(StampTest, RainbowCounterAdvancesOncePerStampOnlyWhenSet) {
    for (LONG mode : {0, 1, 2, 3}) {
        for (LONG rainbow : {0, 1}) {
            Start(200, 200, mode, 0x00FF0000, rainbow);
            Saver.rainbowCounter = 7;
            for (int n = 0; n < 5; ++n)
                Stamp(Saver, 10, 10);
            EXPECT_EQ(Saver.rainbowCounter, rainbow ? 12u : 7u) << "mode " << mode;
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }
}

TEST_F(StampTest, RainbowColourIsTakenBeforeTheIncrement) {
    Start(800, 600, 1, 0, 1); // the counter starts at 0: pure red
    Stamp(Saver, 30, 30);
    EXPECT_EQ(At(30, 30)[2], 11);
    EXPECT_EQ(At(30, 30)[1], 0);
}

TEST_F(StampTest, RoundStampCoversTheMaskOnly) {
    Start(800, 149, 1, 0x00FF0000, 0, 1); // spotSize 3
    ASSERT_EQ(Saver.spotSize, 3);
    Stamp(Saver, 40, 40);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(At(40 + i, 40 + j)[0] != 0, i < 2 && j < 2) << i << "," << j;
}

TEST_F(StampTest, ClippedStampsStayInsideAFullHdSurface) {
    Start(1920, 1080, 1);
    ASSERT_EQ(Saver.spotSize, 16);
    Stamp(Saver, 5000, 5000);
    Stamp(Saver, -100, -100);
    EXPECT_NE(At(1903, 1063)[0], 0);
    EXPECT_NE(At(1918, 1078)[0], 0);
    EXPECT_EQ(At(1919, 1079)[0], 0); // the rightmost column is never reached
    EXPECT_NE(At(0, 0)[0], 0);
    Stamp(Saver, 1904, 1064);
    EXPECT_NE(At(1903, 1079)[0], 0); // touches the bottom row
}

} // namespace
