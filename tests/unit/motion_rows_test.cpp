// The real rows through StartEngine and RunFrame on hidden windows: each
// frame stamps once where the motion says, and no surface size, however
// small, makes a row divide by zero or stamp off the surface. And how the
// stored Algorithm names the rows.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "engine/stamp.h"
#include "support/engine_fixture.h"
#include "support/fake_clock.h"

namespace {

int LitPixels(const KVornSaver& saver) {
    GdiFlush();
    int lit = 0;
    for (int y = 0; y < saver.height; ++y)
        for (int x = 0; x < saver.width; ++x) {
            const BYTE* p = saver.surface.Pixel(x, y);
            if (p[0] || p[1] || p[2]) ++lit;
        }
    return lit;
}

class MotionRows : public ::testing::Test {
  protected:
    HWND Start(int width, int height, SettingsRecord record) {
        fakeNow = 1700000000;
        if (window_) DestroyWindow(window_);
        window_ = StartEngineOn(width, height, record);
        return window_;
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        ResetEngine();
        DeleteSettingsKey();
    }
    HWND window_ = nullptr;
};

TEST_F(MotionRows, EachRowStampsOnceAtItsPosition) {
    for (int row = 0; row < kMotionCount; ++row) {
        SettingsRecord record;
        record.Algorithm = AlgorithmOfRow(row);
        Start(800, 600, record);
        srand(12345);
        RunFrame();
        const KVornSaver& saver = Saver;
        ASSERT_EQ(saver.algorithmIndex, row);
        const int x = ClipStampColumn(saver.posX, saver.spotSize, saver.width);
        const int y = ClipStampRow(saver.posY, saver.spotSize, saver.height);
        EXPECT_EQ(LitPixels(saver), 81) << "row " << row << ": one 9 x 9 square";
        EXPECT_EQ(saver.surface.Pixel(x, y)[0], 11) << "row " << row;
        EXPECT_EQ(saver.surface.Pixel(x + 8, y + 8)[0], 11) << "row " << row;
    }
}

TEST_F(MotionRows, RandomChoiceRunsEveryRealRow) {
    SettingsRecord record;
    record.Algorithm = kRandomAlgorithm;
    record.Infinity = 0;
    record.Showtime = -1; // a new phase on every frame
    Start(640, 480, record);
    srand(7);
    std::set<int> rows;
    for (int frame = 0; frame < 200; ++frame) {
        RunFrame();
        rows.insert(Saver.algorithmIndex);
        ASSERT_EQ(LitPixels(Saver), 49) << "frame " << frame << ": cleared, then one stamp";
    }
    EXPECT_EQ(rows.size(), static_cast<size_t>(kMotionCount));
}

// What users have stored keeps its meaning: 0 to 5 are the first six rows
// and 6 the random choice for good; later rows are stored as index + 1.
TEST(StoredAlgorithm, NamesTheRowsAroundTheRandomChoice) {
    const struct {
        long stored;
        int row;
    } cases[] = {{0, 0},
                 {5, 5},
                 {kRandomAlgorithm, kNoRow},
                 {-1, kNoRow},
                 {kLastAlgorithm + 1, kNoRow},
                 {LONG_MIN, kNoRow},
                 {LONG_MAX, kNoRow}};
    for (const auto& c : cases)
        EXPECT_EQ(RowOfAlgorithm(c.stored), c.row) << c.stored;
    EXPECT_EQ(AlgorithmOfRow(6), 7) << "a seventh row";
    for (int row = 0; row < kMotionCount; ++row) {
        EXPECT_NE(AlgorithmOfRow(row), kRandomAlgorithm);
        EXPECT_EQ(RowOfAlgorithm(AlgorithmOfRow(row)), row);
    }
}

TEST_F(MotionRows, TinySurfacesNeverDivideByZeroOrStampOutside) {
    struct Size {
        int width, height;
    } sizes[] = {{0, 0},   {0, 300}, {300, 0}, {1, 1},    {2, 2},  {3, 3},
                 {1, 600}, {800, 1}, {800, 9}, {10, 200}, {4, 60}, {69, 69}};
    for (const Size& size : sizes) {
        for (LONG algorithm = 0; algorithm <= kLastAlgorithm; ++algorithm) {
            for (LONG lineNew : {0, 1}) {
                SettingsRecord record;
                record.Algorithm = algorithm;
                record.LineNew = lineNew;
                record.Infinity = 0;
                record.Showtime = algorithm == kRandomAlgorithm ? -1 : 180;
                Start(size.width, size.height, record);
                srand(1);
                for (int frame = 0; frame < 400; ++frame)
                    RunFrame();
                const KVornSaver& saver = Saver;
                if (SurfaceCanStamp(saver)) {
                    const int x = ClipStampColumn(saver.posX, saver.spotSize, saver.width);
                    const int y = ClipStampRow(saver.posY, saver.spotSize, saver.height);
                    EXPECT_GE(x, 0);
                    EXPECT_GE(y, 0);
                    EXPECT_LE(x + saver.spotSize, saver.width);
                    EXPECT_LE(y + saver.spotSize, saver.height);
                }
            }
        }
    }
}

} // namespace
