// The straight-line motions on a bare engine object (no surface, so Stamp
// draws nothing): bounds, the bounce rule, and the exact order of the draws,
// predicted by replaying the runtime generator from the same seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "engine/linear_motions.h"
#include "engine/motions.h"
#include "support/engine_fixture.h"
#include "settings/settings.h"

namespace {

// The next n draws after seeding, for predictions.
std::vector<int> Draws(unsigned seed, int n) {
    srand(seed);
    std::vector<int> draws;
    for (int i = 0; i < n; ++i)
        draws.push_back(rand());
    return draws;
}

// True when the generator's next draw is the one after `used` draws from seed.
bool ConsumedExactly(unsigned seed, int used) {
    return rand() == Draws(seed, used + 1)[used];
}

class LinearMotions : public ::testing::Test {
  protected:
    void SetUp() override { Settings = SettingsRecord(); }
    void TearDown() override { Settings = SettingsRecord(); }
};

TEST_F(LinearMotions, StartSetsBoundsStepsAndPositionFromFourDraws) {
    struct Case {
        int width, height;
        LONG lineNew;
        int maxX, maxY;
    } cases[] = {
        {800, 600, 0, 3, 2}, {800, 600, 1, 4, 4}, {1920, 1080, 1, 8, 8}, {320, 150, 1, 1, 1},
        {100, 60, 1, 1, 1},  {100, 60, 0, 3, 2},  {200, 112, 1, 1, 1},   {1366, 768, 1, 5, 5},
    };
    for (const Case& c : cases) {
        Settings.LineNew = c.lineNew;
        for (unsigned seed = 1; seed <= 40; ++seed) {
            KVornSaver saver;
            ShapeSaver(saver, c.width, c.height);
            const std::vector<int> r = Draws(seed, 4);
            const int s = saver.spotSize;
            const int stepX = r[0] % c.maxX + 1;
            const int stepY = r[1] % c.maxY + 1;
            srand(seed);
            StartLinear(saver);
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " LineNew "
                                            << c.lineNew << " seed " << seed);
            EXPECT_EQ(saver.linear.maxStepX, c.maxX);
            EXPECT_EQ(saver.linear.maxStepY, c.maxY);
            EXPECT_EQ(saver.linear.stepX, stepX);
            EXPECT_EQ(saver.linear.stepY, stepY);
            EXPECT_EQ(saver.posX, r[2] % c.width - 2 * stepX - s + 1);
            EXPECT_EQ(saver.posY, r[3] % c.height - 2 * stepY - s + 1);
            EXPECT_TRUE(ConsumedExactly(seed, 4));
        }
    }
}

TEST(BounceRule, LeavesOnlyStrictlyPastEitherEdge) {
    struct Case {
        int pos, step;
        bool leaves;
    } cases[] = {
        {788, 2, false},  // far edge lands on width - 1 = 799: inside
        {789, 2, true},   // one pixel more
        {790, -1, false}, // the direction does not matter, only where it lands
        {2, -2, false},   // lands on column 0
        {2, -3, true},    {-5, 0, true}, {-5, 5, false}, {-9, 3, true}, {400, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepLeavesSurface(c.pos, c.step, 9, 800), c.leaves)
            << "pos " << c.pos << " step " << c.step;
}

TEST(BounceRule, NewSizeFromTheDrawAndSignFromTheOldStepOnly) {
    struct Case {
        int oldStep, draw, bound, expected;
    } cases[] = {
        {3, 0, 3, -1}, {3, 2, 3, -3}, {1, 32767, 4, -4}, {2, 5, 4, -2},
        {0, 5, 4, 2},  {-2, 7, 3, 2}, {-1, 0, 1, 1},     {7, 32767, 1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReversedStep(c.oldStep, c.draw, c.bound), c.expected)
            << "old " << c.oldStep << " draw " << c.draw << " bound " << c.bound;
}

TEST_F(LinearMotions, RandomLinearKeepsItsStepUpToTheEdgeAndReversesOnePixelLater) {
    for (unsigned seed : {3u, 11u, 2024u}) {
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        saver.linear.maxStepX = 3;
        saver.linear.maxStepY = 2;
        saver.posX = 788; // 788 + 2 + 9 = 799
        saver.linear.stepX = 2;
        saver.posY = 100;
        saver.linear.stepY = 1;
        srand(seed);
        StepRandomLinear(saver);
        EXPECT_EQ(saver.linear.stepX, 2);
        EXPECT_EQ(saver.posX, 790);
        EXPECT_EQ(saver.posY, 101);
        EXPECT_TRUE(ConsumedExactly(seed, 0)) << "no bounce, no draw";

        saver.posX = 789;
        saver.linear.stepX = 2;
        const int expected = -(Draws(seed, 1)[0] % 3 + 1);
        srand(seed);
        StepRandomLinear(saver);
        EXPECT_EQ(saver.linear.stepX, expected);
        EXPECT_EQ(saver.posX, 789 + expected);
        EXPECT_TRUE(ConsumedExactly(seed, 1));
    }
}

// Rows 0 and 5 never stand still on an axis and stay around the surface.
TEST_F(LinearMotions, StepsAreNeverZeroAndTheSpotStaysNearTheSurface) {
    struct Case {
        const char* row;
        MotionOp step;
        int width, height;
        LONG lineNew;
    } cases[] = {
        {"Random Linear", StepRandomLinear, 800, 600, 0},
        {"Random Linear", StepRandomLinear, 800, 600, 1},
        {"Random Linear", StepRandomLinear, 160, 112, 1},
        {"Random Linear Angle", StepRandomLinearAngle, 800, 600, 0},
        {"Random Linear Angle", StepRandomLinearAngle, 1920, 1080, 1},
        {"Random Linear Angle", StepRandomLinearAngle, 160, 112, 1},
        {"Random Linear Angle", StepRandomLinearAngle, 60, 40, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.row << " " << c.width << "x" << c.height << " LineNew " << c.lineNew);
        Settings.LineNew = c.lineNew;
        KVornSaver saver;
        ShapeSaver(saver, c.width, c.height);
        srand(99);
        StartLinear(saver);
        const int slackX = 2 * saver.linear.maxStepX, slackY = 2 * saver.linear.maxStepY;
        int failures = 0;
        for (int frame = 0; frame < 20000 && failures < 5; ++frame) {
            c.step(saver);
            bool ok = saver.linear.stepX != 0 && saver.linear.stepY != 0 &&
                      std::abs(saver.linear.stepX) <= saver.linear.maxStepX &&
                      std::abs(saver.linear.stepY) <= saver.linear.maxStepY;
            if (frame > 2000) // long after the start, which may lie off the surface
                ok = ok && saver.posX >= -slackX &&
                     saver.posX <= c.width - 1 - saver.spotSize + slackX && saver.posY >= -slackY &&
                     saver.posY <= c.height - 1 - saver.spotSize + slackY;
            if (!ok) {
                ++failures;
                ADD_FAILURE() << "frame " << frame << ": pos " << saver.posX << "," << saver.posY
                              << " step " << saver.linear.stepX << "," << saver.linear.stepY;
            }
        }
    }
}

TEST(RandomPointer, RangeFollowsIntensityAndSpotSize) {
    struct Case {
        int height, range;
    } cases[] = {{600, 4}, {112, 3}, {1080, 8}, {60, 2}, {399, 5}, {400, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(PointerRange(IntensityFor(c.height), SpotSizeFor(c.height)), c.range)
            << "height " << c.height;
}

TEST_F(LinearMotions, RandomPointerDrawsVerticalPairFirstAndCoversItsRange) {
    struct Case {
        int width, height, range;
    } cases[] = {{800, 600, 4}, {200, 112, 3}};
    for (const Case& c : cases) {
        std::set<int> seenX, seenY;
        for (unsigned seed = 1; seed <= 300; ++seed) {
            KVornSaver saver;
            ShapeSaver(saver, c.width, c.height);
            saver.posX = c.width / 3;
            saver.posY = c.height / 3;
            const std::vector<int> r = Draws(seed, 4);
            const int R = c.range;
            srand(seed);
            StepRandomPointer(saver);
            EXPECT_EQ(saver.linear.stepY, r[0] % R - r[1] % R) << "seed " << seed;
            EXPECT_EQ(saver.linear.stepX, r[2] % R - r[3] % R) << "seed " << seed;
            EXPECT_EQ(saver.posX, c.width / 3 + saver.linear.stepX);
            EXPECT_TRUE(ConsumedExactly(seed, 4)) << "no bounce in the middle";
            seenX.insert(saver.linear.stepX);
            seenY.insert(saver.linear.stepY);
        }
        std::set<int> all;
        for (int v = -(c.range - 1); v <= c.range - 1; ++v)
            all.insert(v);
        EXPECT_EQ(seenX, all) << "height " << c.height;
        EXPECT_EQ(seenY, all) << "height " << c.height;
    }
}

TEST_F(LinearMotions, RandomPointerZeroStepOffTheSurfaceBouncesInward) {
    // Seeds whose horizontal pair is equal give a zero step before the bounce.
    int checked = 0;
    for (unsigned seed = 1; seed <= 400 && checked < 10; ++seed) {
        const std::vector<int> r = Draws(seed, 5);
        if (r[2] % 4 != r[3] % 4) continue;
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        saver.posX = -20;
        saver.posY = 300;
        srand(seed);
        StepRandomPointer(saver);
        EXPECT_EQ(saver.linear.stepX, r[4] % 4 + 1) << "seed " << seed;
        EXPECT_EQ(saver.posX, -20 + saver.linear.stepX);
        ++checked;
    }
    EXPECT_EQ(checked, 10);
}

// --- Random Linear Angle and its reverse guard.

struct AngleStart {
    int posX, stepX, posY, stepY;
};

// Right edge bounce on x (800 wide, spot 9, bounds 4): 789 + 2 + 9 > 799.
const AngleStart kRightEdge = {789, 2, 300, 3};

void AngleSaver(KVornSaver& saver, const AngleStart& start, int bound) {
    ShapeSaver(saver, 800, 600);
    saver.linear.maxStepX = saver.linear.maxStepY = bound;
    saver.posX = start.posX;
    saver.linear.stepX = start.stepX;
    saver.posY = start.posY;
    saver.linear.stepY = start.stepY;
}

// The guard's re-draws as a plain loop over recorded draws, with the number of
// draws the step makes and how many re-draws it took.
struct GuardPrediction {
    int stepX, stepY, draws, redraws;
};

GuardPrediction PredictRightEdgeBounce(unsigned seed, const AngleStart& start, int bound) {
    const std::vector<int> r = Draws(seed, 64);
    int used = 0;
    int stepX = -(r[used++] % bound + 1);
    const int sign = r[used++] % 100 + 1 <= 50 ? 1 : -1;
    int stepY = start.stepY * sign;
    int redraws = 0;
    while (sign == -1 && stepX == -start.stepX && stepY == -start.stepY && used < 62) {
        stepX = (stepX >= 0 ? 1 : -1) * (r[used++] % bound + 1);
        stepY = (stepY >= 0 ? 1 : -1) * (r[used++] % bound + 1);
        ++redraws;
    }
    return {stepX, stepY, used, redraws};
}

TEST_F(LinearMotions, RandomLinearAngleWithoutBounceMakesNoDraw) {
    for (unsigned seed : {1u, 5u, 77u}) {
        KVornSaver saver;
        AngleSaver(saver, {400, 3, 300, -2}, 4);
        srand(seed);
        StepRandomLinearAngle(saver);
        EXPECT_EQ(saver.linear.stepX, 3);
        EXPECT_EQ(saver.linear.stepY, -2);
        EXPECT_EQ(saver.posX, 403);
        EXPECT_EQ(saver.posY, 298);
        EXPECT_TRUE(ConsumedExactly(seed, 0)) << "seed " << seed;
    }
}

TEST_F(LinearMotions, RandomLinearAngleGuardRedrawsUntilNotTheExactOpposite) {
    // Seeds sorted by how the bounce goes: flip kept (+1), reversed but not
    // opposite, opposite once, opposite again after the first re-draw.
    std::set<int> redrawCounts;
    int plusOne = 0;
    for (unsigned seed = 1; seed <= 5000; ++seed) {
        const GuardPrediction p = PredictRightEdgeBounce(seed, kRightEdge, 4);
        KVornSaver saver;
        AngleSaver(saver, kRightEdge, 4);
        srand(seed);
        StepRandomLinearAngle(saver);
        ASSERT_EQ(saver.linear.stepX, p.stepX) << "seed " << seed;
        ASSERT_EQ(saver.linear.stepY, p.stepY) << "seed " << seed;
        ASSERT_TRUE(ConsumedExactly(seed, p.draws)) << "seed " << seed;
        EXPECT_FALSE(saver.linear.stepX == -kRightEdge.stepX &&
                     saver.linear.stepY == -kRightEdge.stepY)
            << "seed " << seed << " retraces its path";
        EXPECT_LT(saver.linear.stepX, 0);
        if (p.stepY == kRightEdge.stepY) ++plusOne;
        redrawCounts.insert(p.redraws);
    }
    EXPECT_GT(plusOne, 0);
    EXPECT_TRUE(redrawCounts.count(1)) << "no seed needed a re-draw";
    EXPECT_TRUE(redrawCounts.count(2)) << "no seed needed a second re-draw";
}

TEST_F(LinearMotions, RandomLinearAngleGuardGivesUpWhenBothBoundsAreOne) {
    // LineNew with spot 3 (height 150): every size is 1, so the opposite
    // velocity is the only one and the spot may retrace its path.
    Settings.LineNew = 1;
    int opposite = 0;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        KVornSaver saver;
        ShapeSaver(saver, 300, 150);
        StartLinear(saver);
        ASSERT_EQ(saver.linear.maxStepX, 1);
        ASSERT_EQ(saver.linear.maxStepY, 1);
        saver.posX = 300 - 1 - saver.spotSize; // 296 + 1 + 3 > 299
        saver.linear.stepX = 1;
        saver.posY = 70;
        saver.linear.stepY = 1;
        const int sign = Draws(seed, 2)[1] % 100 + 1 <= 50 ? 1 : -1;
        srand(seed);
        StepRandomLinearAngle(saver);
        EXPECT_EQ(saver.linear.stepX, -1);
        EXPECT_EQ(saver.linear.stepY, sign);
        EXPECT_TRUE(ConsumedExactly(seed, 2));
        if (sign == -1) ++opposite;
    }
    EXPECT_GT(opposite, 0);
}

TEST_F(LinearMotions, RandomLinearAngleYBounceFlipsXWithTheSecondDraw) {
    // Bottom edge: 587 + 4 + 9 > 599; x stays inside.
    for (unsigned seed = 1; seed <= 200; ++seed) {
        const std::vector<int> r = Draws(seed, 2);
        const int stepY = -(r[0] % 4 + 1);
        const int sign = r[1] % 100 + 1 <= 50 ? 1 : -1;
        if (sign == -1 && stepY == -4) continue; // the guard's case, tested above
        KVornSaver saver;
        AngleSaver(saver, {400, 3, 587, 4}, 4);
        srand(seed);
        StepRandomLinearAngle(saver);
        ASSERT_EQ(saver.linear.stepY, stepY) << "seed " << seed;
        ASSERT_EQ(saver.linear.stepX, 3 * sign) << "seed " << seed;
        EXPECT_TRUE(ConsumedExactly(seed, 2)) << "seed " << seed;
    }
}

} // namespace
