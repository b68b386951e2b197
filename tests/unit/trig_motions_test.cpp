// The curve motions on a bare engine object (no surface, so Stamp draws
// nothing): positions, turning points and the once-per-run values, with the
// float state set directly where a case needs it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

#include "engine/motions.h"
#include "support/engine_fixture.h"
#include "engine/curve_math.h"

namespace {

class TrigMotions : public ::testing::Test {};

// --- Horizontal Sine.

TEST_F(TrigMotions, SineStartsAtTheLeftOnTheCentreLine) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        srand(seed);
        const int k = rand() % 7 + 1;
        srand(seed);
        StartHorizontalSine(saver);
        EXPECT_EQ(saver.sine.sineHalfWaves, static_cast<float>(k));
        EXPECT_EQ(saver.sine.sineAngleStep, kHalfDegree);
        StepHorizontalSine(saver);
        EXPECT_EQ(saver.posX, 0);
        EXPECT_EQ(saver.posY, 300);
        EXPECT_EQ(saver.sine.sineSweepWidth, 764);
        EXPECT_EQ(saver.sine.sineSweepHeight, 564);
    }
}

// Steps (counted from 1 after a start) on which the sine turns and restarts.
TEST_F(TrigMotions, SineTurnsAtKPiAndRestartsBelowZero) {
    struct Case {
        float k;
        int reverseStep, restartStep;
    } cases[] = {{1, 361, 721}, {2, 721, 1442}}; // the float sums make k = 2 one longer
    for (const Case& c : cases) {
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        srand(1);
        StartHorizontalSine(saver);
        saver.sine.sineHalfWaves = c.k;
        int reversed = 0, restarted = 0;
        for (int step = 1; step <= 4000 && !restarted; ++step) {
            const float before = saver.sine.sineAngleStep;
            StepHorizontalSine(saver);
            if (before > 0 && saver.sine.sineAngleStep < 0) reversed = step;
            if (before < 0 && saver.sine.sineAngleStep > 0) restarted = step;
        }
        EXPECT_EQ(reversed, c.reverseStep) << "k " << c.k;
        EXPECT_EQ(restarted, c.restartStep) << "k " << c.k;
        EXPECT_EQ(saver.sine.sineAngle, 0.0f);
        EXPECT_EQ(saver.sine.sineDirection, 1.0f);
    }
}

TEST_F(TrigMotions, SineTurnsOnlyStrictlyPastItsEnds) {
    struct Case {
        float angle;
        bool reverses, restarts;
    } cases[] = {
        {kPi, false, false},
        {std::nextafter(kPi, 4.0f), true, false},
        {0.0f, false, false},
        {-1e-7f, false, true},
    };
    for (const Case& c : cases) {
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        StartHorizontalSine(saver);
        saver.sine.sineHalfWaves = 1;
        saver.sine.sineAngle = c.angle;
        saver.sine.sineAngleStep = 0; // the step then lands exactly on the angle
        saver.sine.sineDirection = 1;
        const unsigned seed = 5;
        srand(seed);
        const int k = rand() % 7 + 1;
        srand(seed);
        StepHorizontalSine(saver);
        EXPECT_EQ(saver.sine.sineDirection, c.reverses ? -1.0f : 1.0f) << c.angle;
        if (c.restarts) {
            EXPECT_EQ(saver.sine.sineHalfWaves, static_cast<float>(k)) << c.angle;
            EXPECT_EQ(saver.sine.sineAngleStep, kHalfDegree);
            EXPECT_EQ(saver.sine.sineAngle, 0.0f);
        } else {
            EXPECT_EQ(saver.sine.sineHalfWaves, 1.0f) << c.angle;
            EXPECT_EQ(saver.sine.sineAngle, c.angle);
        }
    }
}

TEST_F(TrigMotions, SineStaysWithinItsSweepAndMirrorsOnTheWayBack) {
    for (int k = 1; k <= 7; ++k) {
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        StartHorizontalSine(saver);
        saver.sine.sineHalfWaves = static_cast<float>(k);
        std::map<float, int> outward; // angle at the stamp -> vertical offset
        int mirrored = 0, maxX = 0;
        for (int step = 0; step < 720 * k + 2; ++step) {
            const float angle = saver.sine.sineAngle;
            const bool back = saver.sine.sineDirection < 0;
            StepHorizontalSine(saver);
            const int offset = saver.posY - saver.centerY;
            ASSERT_GE(saver.posX, 0) << "k " << k << " step " << step;
            ASSERT_LE(saver.posX, 764) << "k " << k << " step " << step;
            ASSERT_LE(std::abs(offset), 141) << "k " << k << " step " << step;
            maxX = std::max(maxX, saver.posX);
            if (!back) {
                outward[angle] = offset;
            } else if (outward.count(angle)) {
                EXPECT_EQ(offset, -outward[angle]) << "k " << k << " angle " << angle;
                ++mirrored;
            }
        }
        EXPECT_GE(maxX, 762) << "k " << k;
        EXPECT_GT(mirrored, 100) << "k " << k;
    }
}

// --- Circular Bounce.

TEST(CircularBounce, AmplitudeFromTheDrawAndTheHeight) {
    struct Case {
        int draw, height;
        float amplitude;
    } cases[] = {
        {0, 600, 41},  {599, 600, 70}, {600, 600, 41}, {32767, 600, 59},
        {19, 600, 41}, {20, 600, 42},  {0, 112, 8},    {111, 112, 13},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PulseAmplitudeFor(c.draw, c.height), c.amplitude)
            << "draw " << c.draw << " height " << c.height;
}

TEST(CircularBounce, PulseStepRunsFromZeroToTenDegrees) {
    EXPECT_EQ(PulseStepFor(0), 0.0f);
    EXPECT_EQ(PulseStepFor(32767), 0.1745329350233078f);
    EXPECT_NEAR(PulseStepFor(16384), 0.0872691, 1e-6);
}

TEST_F(TrigMotions, CircularBounceStartAtHeight600) {
    // Seeds found by scanning, so that the first draw mod 600 is 0, 599 or other.
    int extremes = 0;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        srand(seed);
        const int first = rand() % 600;
        const int second = rand();
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        srand(seed);
        StartCircularBounce(saver);
        const float amplitude = static_cast<float>(first / 20 + 41);
        ASSERT_EQ(saver.circle.pulseAmplitude, amplitude) << "seed " << seed;
        ASSERT_EQ(saver.circle.circleBaseRadius, 300 - 2 * amplitude - 18) << "seed " << seed;
        ASSERT_EQ(saver.circle.pulseStep, PulseStepFor(second)) << "seed " << seed;
        ASSERT_EQ(saver.circle.circleAngleStep, kOneDegree);
        ASSERT_GE(saver.circle.pulseAmplitude, 41);
        ASSERT_LE(saver.circle.pulseAmplitude, 70);
        if (first == 0) {
            EXPECT_EQ(saver.circle.circleBaseRadius, 200.0f);
            ++extremes;
        }
        if (first == 599) {
            EXPECT_EQ(saver.circle.circleBaseRadius, 142.0f);
            ++extremes;
        }
    }
    EXPECT_GE(extremes, 2) << "no seed reached an end of the range";
}

TEST_F(TrigMotions, CircularBounceFirstStampAndFirstWrap) {
    for (unsigned seed : {1u, 8u, 40u}) {
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        srand(seed);
        StartCircularBounce(saver);
        StepCircularBounce(saver);
        EXPECT_EQ(saver.posX, 400 + static_cast<int>(saver.circle.circleBaseRadius));
        EXPECT_EQ(saver.posY, 300);
        int wrapped = 0;
        for (int step = 2; step <= 800 && !wrapped; ++step) {
            const float before = saver.circle.circleAngle;
            StepCircularBounce(saver);
            if (saver.circle.circleAngle < before) wrapped = step;
        }
        EXPECT_EQ(wrapped, 361) << "seed " << seed;
        EXPECT_LT(saver.circle.circleAngle, kOneDegree);
        EXPECT_GT(saver.circle.pulsePhase, 360 * saver.circle.pulseStep * 0.99f)
            << "the phase never wraps";
    }
}

TEST_F(TrigMotions, CircularBounceWithoutPulseKeepsItsRadius) {
    KVornSaver saver;
    ShapeSaver(saver, 800, 600);
    srand(3);
    StartCircularBounce(saver);
    saver.circle.pulseStep = 0; // what a second draw of 0 gives
    for (int step = 0; step < 720; ++step) {
        StepCircularBounce(saver);
        const double distance = std::hypot(saver.posX - 400, saver.posY - 300);
        ASSERT_NEAR(distance, saver.circle.circleBaseRadius, 1.5) << "step " << step;
    }
}

// --- Polar Coordinates.

TEST_F(TrigMotions, PolarScaleUsesRealDivisionOncePerRun) {
    struct Case {
        int width, height;
        float scale;
    } cases[] = {{800, 600, 164.0f}, {900, 700, 189.3333282470703f}, {160, 112, 29.333334f}};
    for (const Case& c : cases) {
        KVornSaver saver;
        ShapeSaver(saver, c.width, c.height);
        StartPolarCoordinates(saver);
        StepPolarCoordinates(saver);
        EXPECT_EQ(saver.polar.polarScale, c.scale) << "height " << c.height;
        // A later step on another size keeps the run's value.
        ShapeSaver(saver, 1920, 1080);
        StepPolarCoordinates(saver);
        EXPECT_EQ(saver.polar.polarScale, c.scale) << "height " << c.height;
    }
}

TEST_F(TrigMotions, PolarFirstStampForEachDivisor) {
    struct Case {
        float k;
        int x;
    } cases[] = {{0, 400 + 164}, {1, 400 + 328}, {2, 400 + 246}, {3, 400 + 218}};
    for (const Case& c : cases) {
        KVornSaver saver;
        ShapeSaver(saver, 800, 600);
        StartPolarCoordinates(saver);
        saver.polar.polarDivisor = c.k;
        StepPolarCoordinates(saver);
        EXPECT_EQ(saver.posX, c.x) << "k " << c.k;
        EXPECT_EQ(saver.posY, 300) << "k " << c.k;
    }
}

TEST_F(TrigMotions, PolarDivisorFromOneDraw) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        srand(seed);
        const int k = rand() % 4;
        const int next = rand();
        KVornSaver saver;
        srand(seed);
        StartPolarCoordinates(saver);
        EXPECT_EQ(saver.polar.polarDivisor, static_cast<float>(k));
        EXPECT_EQ(rand(), next);
    }
}

TEST_F(TrigMotions, PolarRotatesByFourDegreesAfterEachTurn) {
    KVornSaver saver;
    ShapeSaver(saver, 800, 600);
    StartPolarCoordinates(saver);
    saver.polar.polarDivisor = 0;
    for (int step = 1; step <= 720; ++step) {
        StepPolarCoordinates(saver);
        ASSERT_EQ(saver.polar.polarRotation, 0.0f) << "step " << step;
        if (step == 181) {
            // Near theta = pi/2 the curve value is near -1: the stamp lies on
            // the side opposite the direction phi.
            EXPECT_NEAR(saver.posX, 400, 2);
            EXPECT_NEAR(saver.posY, 300 - 164, 2);
            EXPECT_LT(saver.polar.polarRadius, -0.999f);
        }
    }
    StepPolarCoordinates(saver);
    EXPECT_EQ(saver.polar.polarRotation, kFourDegrees);
    EXPECT_LT(saver.polar.polarTheta, kHalfDegree);
    // The 722nd stamp is the first of the rotated figure: theta is half a
    // degree again, phi 4.5 degrees, rho = 164 cos 1 degree = 163.98.
    StepPolarCoordinates(saver);
    EXPECT_EQ(saver.posX, 400 + 163); // rho cos 4.5 degrees = 163.5
    EXPECT_EQ(saver.posY, 300 + 12);  // rho sin 4.5 degrees = 12.9
    for (int step = 723; step <= 1441; ++step)
        StepPolarCoordinates(saver);
    EXPECT_EQ(saver.polar.polarRotation, static_cast<float>(2.0 * kFourDegrees));
}

} // namespace
