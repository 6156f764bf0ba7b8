#include "signal_wave.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Wave Make(Shape shape, double amplitude, double period, double offset)
{
    Wave wave;
    wave.shape = shape;
    wave.amplitude = amplitude;
    wave.period = period;
    wave.offset = offset;
    return wave;
}

TEST(SignalWave, SineIsTheAmplitudeAtAQuarterPeriodAndExactlyTheOffsetAtEachHalf)
{
    const Wave sine = Make(Shape::Sine, 0.1, 4.0, 0.0);
    EXPECT_EQ(WaveValue(sine, 0.0), 0.0);
    EXPECT_EQ(WaveValue(sine, 1.0), 0.1);
    EXPECT_EQ(WaveValue(sine, 2.0), 0.0);
    EXPECT_EQ(WaveValue(sine, 3.0), -0.1);
    EXPECT_EQ(WaveValue(sine, 4.0), 0.0);
    EXPECT_EQ(WaveValue(sine, 5.0), 0.1); // the next period
    EXPECT_DOUBLE_EQ(WaveValue(sine, 0.5), 0.1 * std::sqrt(0.5));
    EXPECT_DOUBLE_EQ(WaveValue(sine, 3.5), -0.1 * std::sqrt(0.5));
    EXPECT_EQ(WaveValue(Make(Shape::Sine, 2.0, 1.0, 0.5), 0.25), 2.5);
}

TEST(SignalWave, SquareIsHighForTheFirstHalfAndLowForTheSecond)
{
    const Wave square = Make(Shape::Square, 2.0, 1.0, 1.0);
    EXPECT_EQ(WaveValue(square, 0.0), 3.0);
    EXPECT_EQ(WaveValue(square, 0.49), 3.0);
    EXPECT_EQ(WaveValue(square, 0.5), -1.0);
    EXPECT_EQ(WaveValue(square, 0.99), -1.0);
    EXPECT_EQ(WaveValue(square, 1.0), 3.0);
}

TEST(SignalWave, TriangleRunsInStraightLinesThroughTheSinesTurningPoints)
{
    const Wave triangle = Make(Shape::Triangle, 1.0, 2.0, 0.0);
    EXPECT_EQ(WaveValue(triangle, 0.0), 0.0);
    EXPECT_EQ(WaveValue(triangle, 0.25), 0.5);
    EXPECT_EQ(WaveValue(triangle, 0.5), 1.0);
    EXPECT_EQ(WaveValue(triangle, 0.75), 0.5);
    EXPECT_EQ(WaveValue(triangle, 1.0), 0.0);
    EXPECT_EQ(WaveValue(triangle, 1.25), -0.5);
    EXPECT_EQ(WaveValue(triangle, 1.5), -1.0);
    EXPECT_EQ(WaveValue(triangle, 1.75), -0.5);
    EXPECT_EQ(WaveValue(triangle, 2.0), 0.0);
    EXPECT_EQ(WaveValue(Make(Shape::Triangle, 1.0, 2.0, 3.0), 0.5), 4.0);
}

TEST(SignalWave, StepIsTheOffsetForOnePeriodThenOffsetPlusAmplitudeForGood)
{
    const Wave step = Make(Shape::Step, 0.25, 1.0, 0.125);
    EXPECT_EQ(WaveValue(step, 0.0), 0.125);
    EXPECT_EQ(WaveValue(step, 0.999), 0.125);
    EXPECT_EQ(WaveValue(step, 1.0), 0.375);
    EXPECT_EQ(WaveValue(step, 2.5), 0.375);
    EXPECT_EQ(WaveValue(step, 1000.0), 0.375);
}

} // namespace
