// The frame cycle with the clock stepped by hand and the motion rows replaced
// by recorders, so phases can be counted exactly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/stamp.h"
#include "support/engine_fixture.h"
#include "support/fake_clock.h"

namespace {

std::vector<int> inits; // row index of every init, in order
int steps = 0;

template <int Row> void RecordInit(KVornSaver&) {
    inits.push_back(Row);
}
void RecordStep(KVornSaver&) {
    ++steps;
}

template <int... Rows> void InstallRecorders(std::integer_sequence<int, Rows...>) {
    ((Saver.motionTable[Rows].init = RecordInit<Rows>), ...);
    for (MotionEntry& row : Saver.motionTable)
        row.step = RecordStep;
}

class FrameCycleTest : public ::testing::Test {
  protected:
    void Start(LONG algorithm, LONG showtime, LONG infinity, int width = 320, int height = 240) {
        SettingsRecord record;
        record.Algorithm = algorithm;
        record.Showtime = showtime;
        record.Infinity = infinity;
        fakeNow = 1700000000;
        window_ = StartEngineOn(width, height, record);
        InstallRecorders(std::make_integer_sequence<int, kMotionCount>());
        inits.clear();
        steps = 0;
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        ResetEngine();
    }
    HWND window_ = nullptr;
};

TEST_F(FrameCycleTest, FirstFrameStartsAPhaseAndSteps) {
    Start(3, 180, 1);
    EXPECT_EQ(Saver.pendingInit, 2);
    RunFrame();
    EXPECT_EQ(inits, std::vector<int>({3}));
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(Saver.pendingInit, 0);
}

TEST_F(FrameCycleTest, EarlyReinitialisationOnTheThirdFrameOfTheFirstSecond) {
    Start(2, 180, 1);
    for (int frame = 0; frame < 10; ++frame)
        RunFrame();
    EXPECT_EQ(inits, std::vector<int>({2, 2}));
    EXPECT_EQ(steps, 10);
    EXPECT_EQ(Saver.frameCycle.earlyReinitDone, 1);
}

TEST_F(FrameCycleTest, NoEarlyReinitialisationWhenEveryFrameIsANewSecond) {
    Start(2, 999, 1);
    for (int frame = 0; frame < 10; ++frame) {
        ++fakeNow;
        RunFrame();
    }
    EXPECT_EQ(inits.size(), 1u);
    EXPECT_EQ(Saver.frameCycle.earlyReinitDone, 0);
}

TEST_F(FrameCycleTest, PhaseEndsStrictlyAfterShowtime) {
    Start(1, 180, 0);
    RunFrame();
    RunFrame();
    RunFrame(); // early re-initialisation
    ASSERT_EQ(inits.size(), 2u);
    const long long start = Saver.phaseStart;
    fakeNow = start + 180;
    RunFrame();
    EXPECT_EQ(inits.size(), 2u) << "180 seconds is not yet more than Showtime";
    fakeNow = start + 181;
    RunFrame();
    EXPECT_EQ(inits.size(), 3u);
    EXPECT_EQ(Saver.phaseStart, start + 181);
}

TEST_F(FrameCycleTest, InfinityNeverEndsAPhase) {
    Start(4, 0, 1);
    for (int frame = 0; frame < 50; ++frame) {
        fakeNow += 1000;
        RunFrame();
    }
    EXPECT_EQ(inits.size(), 1u);
}

TEST_F(FrameCycleTest, NegativeShowtimeStartsAPhaseEveryFrame) {
    Start(0, -1, 0);
    for (int frame = 0; frame < 20; ++frame)
        RunFrame();
    EXPECT_EQ(inits.size(), 20u);
    EXPECT_EQ(steps, 20);
}

TEST_F(FrameCycleTest, RandomDrawsARowForEveryPhase) {
    // Unknown values run as Random: the first beyond the table, and others.
    for (LONG algorithm : {kRandomAlgorithm, kLastAlgorithm + 1, 9L, -1L}) {
        Start(algorithm, -1, 0);
        srand(77);
        std::vector<int> expected;
        for (int frame = 0; frame < 30; ++frame)
            expected.push_back(rand() % kMotionCount);
        srand(77);
        for (int frame = 0; frame < 30; ++frame)
            RunFrame();
        EXPECT_EQ(inits, expected) << "Algorithm " << algorithm;
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

TEST_F(FrameCycleTest, ChosenMotionRestartsTheSameRow) {
    Start(5, -1, 0);
    for (int frame = 0; frame < 5; ++frame)
        RunFrame();
    EXPECT_EQ(inits, std::vector<int>(5, 5));
}

TEST_F(FrameCycleTest, ShowtimeZeroEndsThePhaseInALaterSecond) {
    Start(1, 0, 0);
    for (int frame = 0; frame < 3; ++frame)
        RunFrame(); // first phase, early re-init
    const size_t phases = inits.size();
    RunFrame();
    EXPECT_EQ(inits.size(), phases);
    ++fakeNow;
    RunFrame();
    EXPECT_EQ(inits.size(), phases + 1);
}

TEST_F(FrameCycleTest, OverlayCountsSecondsShownOnlyWithFps) {
    for (LONG fps : {0L, 1L}) {
        Start(1, 999, 1);
        Settings.FPS = fps;
        for (int second = 0; second < 5; ++second) {
            ++fakeNow;
            RunFrame();
        }
        EXPECT_EQ(Saver.frameCycle.secondsShown, fps ? 5 : 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

TEST(Geometry, DerivedFromTheClientSize) {
    struct Case {
        int width, height, spotSize, intensity, centerX, centerY;
    } cases[] = {
        {800, 399, 6, 7, 400, 199}, {800, 400, 6, 3, 400, 200},   {100, 69, 1, 7, 50, 34},
        {100, 70, 2, 7, 50, 35},    {1024, 768, 11, 3, 512, 384}, {1920, 1080, 16, 3, 960, 540},
        {152, 112, 2, 7, 76, 56},   {1365, 767, 11, 3, 682, 383},
    };
    for (const Case& c : cases) {
        HWND window = StartEngineOn(c.width, c.height);
        EXPECT_EQ(Saver.width, c.width);
        EXPECT_EQ(Saver.height, c.height);
        EXPECT_EQ(Saver.spotSize, c.spotSize) << "height " << c.height;
        EXPECT_EQ(Saver.intensity, c.intensity) << "height " << c.height;
        EXPECT_EQ(Saver.centerX, c.centerX);
        EXPECT_EQ(Saver.centerY, c.centerY);
        EXPECT_EQ(Saver.surface.imageWidth, c.width);
        EXPECT_EQ(Saver.motionTable[5].name, L"Random Linear Angle");
        DestroyWindow(window);
        ResetEngine();
    }
}

} // namespace
