#include "soft_ramp.h"

#include <gtest/gtest.h>

namespace {

TEST(SignalSoftRamp, RisesFromZeroToOneOverTheRamp)
{
    SoftRamp ramp(2.0);
    EXPECT_EQ(ramp.Level(0.0), 0.0);
    EXPECT_EQ(ramp.Level(0.5), 0.25);
    EXPECT_EQ(ramp.Level(1.0), 0.5);
    EXPECT_EQ(ramp.Level(2.0), 1.0);
    EXPECT_EQ(ramp.Level(100.0), 1.0);
    EXPECT_FALSE(ramp.Stopping());
    EXPECT_FALSE(ramp.Down(100.0));
}

TEST(SignalSoftRamp, FallsToZeroOverTheRampAfterTheStop)
{
    SoftRamp ramp(2.0);
    ramp.StopAt(10.0);
    EXPECT_TRUE(ramp.Stopping());
    EXPECT_EQ(ramp.Level(10.0), 1.0);
    EXPECT_EQ(ramp.Level(11.0), 0.5);
    EXPECT_FALSE(ramp.Down(11.0));
    EXPECT_EQ(ramp.Level(12.0), 0.0);
    EXPECT_TRUE(ramp.Down(12.0));
    EXPECT_EQ(ramp.Level(13.0), 0.0);
}

TEST(SignalSoftRamp, AStopOnTheWayUpComesDownFromWhereItWasAtTheSameSlope)
{
    SoftRamp ramp(2.0);
    ramp.StopAt(1.0); // level 0.5
    EXPECT_EQ(ramp.Level(1.0), 0.5);
    EXPECT_EQ(ramp.Level(1.5), 0.25);
    EXPECT_EQ(ramp.Level(2.0), 0.0);
    EXPECT_TRUE(ramp.Down(2.0));
}

TEST(SignalSoftRamp, ALaterStopChangesNothing)
{
    SoftRamp ramp(1.0);
    ramp.StopAt(5.0);
    ramp.StopAt(5.5);
    EXPECT_EQ(ramp.Level(5.5), 0.5);
}

TEST(SignalSoftRamp, WithoutARampTheLevelIsOneUntilTheStopAndZeroFromIt)
{
    SoftRamp ramp(0.0);
    EXPECT_EQ(ramp.Level(0.0), 1.0);
    EXPECT_EQ(ramp.Level(3.0), 1.0);
    ramp.StopAt(3.0);
    EXPECT_EQ(ramp.Level(3.0), 0.0);
    EXPECT_TRUE(ramp.Down(3.0));
}

TEST(SignalSoftRamp, ARoundingErrorAboveZeroCountsAsDown)
{
    // 121 / 60 - 2 is not exactly 1 / 60: the level may land a hair above 0.
    SoftRamp ramp(1.0 / 60.0);
    ramp.StopAt(2.0);
    EXPECT_TRUE(ramp.Down(121.0 / 60.0));
}

} // namespace
