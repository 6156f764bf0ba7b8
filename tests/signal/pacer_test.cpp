#include "pacer.h"

#include <gtest/gtest.h>

namespace {

TEST(SignalPacer, DatagramNIsDueAtNOverTheRateWhateverTheWakeUps)
{
    Pacer pacer(60.0);
    EXPECT_EQ(pacer.Due(0, 0.0), 0.0);
    EXPECT_EQ(pacer.Due(1, 0.0), 1.0 / 60.0);
    // Woken 0.2 s late for datagram 60: still due at 1 s, and the next one
    // at 61 / 60 s, not 0.2 s plus a period later.
    EXPECT_EQ(pacer.Due(60, 1.2), 1.0);
    EXPECT_EQ(pacer.Due(61, 1.2), 61.0 / 60.0);
    EXPECT_EQ(pacer.Due(600, 3.0), 10.0);
    EXPECT_EQ(pacer.Stalls(), 0u);
    EXPECT_EQ(pacer.Shift(), 0.0);
}

TEST(SignalPacer, AStallMovesTheScheduleOnInsteadOfRushing)
{
    Pacer pacer(10.0);
    EXPECT_EQ(pacer.Due(20, 2.75), 2.75); // 0.75 s late: due now
    EXPECT_EQ(pacer.Stalls(), 1u);
    EXPECT_EQ(pacer.Shift(), 0.75);
    EXPECT_DOUBLE_EQ(pacer.Due(21, 2.75), 2.85); // one period after it
    EXPECT_EQ(pacer.Due(30, 3.0), 3.75);
    EXPECT_EQ(pacer.Stalls(), 1u);
}

TEST(SignalPacer, LateByTheCatchUpLimitIsNoStall)
{
    Pacer pacer(4.0);
    EXPECT_EQ(pacer.Due(4, 1.0 + Pacer::kLongestCatchUp), 1.0);
    EXPECT_EQ(pacer.Stalls(), 0u);
}

} // namespace
