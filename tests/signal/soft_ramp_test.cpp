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

TEST(SignalSoftRamp, HasteningFallsFromWhereItIsAtTheSteeperSlope)
{
    struct Case {
        const char* when;
        double stop_at;  // a first stop there; -1 for none
        double hasten_at;
        double longest;
        double level_then;
        double a_step_later; // 1/16 s after
        double down_at;
    };
    const Case cases[] = {
        {"at full level", -1, 10, 0.5, 1, 0.875, 10.5},
        {"on the way down", 10, 11, 0.25, 0.5, 0.25, 11.125},
        {"on the way up", -1, 1, 0.25, 0.5, 0.25, 1.125},
        {"longer than the ramp", 10, 11, 3, 0.5, 0.46875, 12},
    };
    for (const Case& c : cases) {
        SoftRamp ramp(2.0);
        if (c.stop_at >= 0)
            ramp.StopAt(c.stop_at);
        ramp.HastenAt(c.hasten_at, c.longest);
        EXPECT_TRUE(ramp.Stopping()) << c.when;
        EXPECT_EQ(ramp.Level(c.hasten_at), c.level_then) << c.when;
        EXPECT_EQ(ramp.Level(c.hasten_at + 0.0625), c.a_step_later) << c.when;
        EXPECT_FALSE(ramp.Down(c.down_at - 0.0625)) << c.when;
        EXPECT_TRUE(ramp.Down(c.down_at)) << c.when;
    }
}

TEST(SignalSoftRamp, ARoundingErrorAboveZeroCountsAsDown)
{
    // 121 / 60 - 2 is not exactly 1 / 60: the level may land a hair above 0.
    SoftRamp ramp(1.0 / 60.0);
    ramp.StopAt(2.0);
    EXPECT_TRUE(ramp.Down(121.0 / 60.0));
}

} // namespace
