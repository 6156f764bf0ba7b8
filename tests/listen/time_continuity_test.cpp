#include "time_continuity.h"

#include <gtest/gtest.h>

namespace {

struct Step {
    double arrival; // seconds
    std::uint32_t time_us;
};

TimeContinuity Judge(kinemora_kind kind, std::initializer_list<Step> steps)
{
    TimeContinuity t(kind);
    for (const Step& s : steps)
        t.Add(s.time_us, s.arrival);
    return t;
}

} // namespace

TEST(TimeContinuity, K01WrapsRestartsBackwardStepsAndJumps)
{
    const TimeContinuity t = Judge(KINEMORA_K01, {
        {0.00, 0},         // the plug-in's first datagram
        {0.02, 33480000},  // simulation time 33.48 s: after a 0, not judged
        {0.04, 33500000},
        {0.06, 33520000},
        {0.08, 33540000},
        {0.10, 5568},      // 33.56 s, past 2^25 us: a wrap
        {0.12, 25568},
        {0.14, 15568},     // 10 ms back
        {0.16, 35568},
        {0.18, 2035568},   // 2 s ahead: a jump
        {0.20, 2055568},
        {0.22, 2175568},   // 120 ms for an arrival gap of 20 ms: 100 ms off, no jump
        {0.24, 2295569},   // 120.001 ms: 100.001 ms off, a jump
        {0.26, 0},         // the plug-in loaded again
        {0.28, 6445568},   // 40 s mod 2^25: after a 0, not judged
        {0.30, 6465568},
        {40.30, 12911136}, // 40 s later and 40 s on: wraps once more, no jump
    });
    EXPECT_EQ(t.Datagrams(), 17u);
    EXPECT_EQ(t.Steps(), 16u);
    EXPECT_EQ(t.Wraps(), 2u);
    EXPECT_EQ(t.Restarts(), 1u);
    EXPECT_EQ(t.BackwardSteps(), 1u);
    EXPECT_EQ(t.Jumps(), 2u);
}

TEST(TimeContinuity, K01StepIsReadModuloTheWrapNearestTheArrivalGap)
{
    // A simulation reset from 20 s to 5 s is a step back of 15 s, not one of
    // 18.55 s forward; from 30 s to 1 s it is 4.55 s forward (a wrap and a jump).
    const TimeContinuity reset = Judge(KINEMORA_K01, {{1.00, 20000000}, {1.02, 5000000}});
    EXPECT_EQ(reset.BackwardSteps(), 1u);
    EXPECT_EQ(reset.Wraps(), 0u);
    EXPECT_EQ(reset.Jumps(), 0u);
    const TimeContinuity far = Judge(KINEMORA_K01, {{1.00, 30000000}, {1.02, 1000000}});
    EXPECT_EQ(far.BackwardSteps(), 0u);
    EXPECT_EQ(far.Wraps(), 1u);
    EXPECT_EQ(far.Jumps(), 1u);
    // A pause of the simulation: the field stands still while datagrams go on.
    const TimeContinuity paused = Judge(KINEMORA_K01, {{1.00, 7000000}, {1.02, 7000000}, {1.04, 7000000}});
    EXPECT_EQ(paused.BackwardSteps() + paused.Jumps() + paused.Wraps() + paused.Restarts(), 0u);
}

TEST(TimeContinuity, K2RestartsAfterTenSecondsAndOnlyThen)
{
    const TimeContinuity t = Judge(KINEMORA_K2, {
        {0.00, 0},        // the bridge's first datagram
        {0.02, 20000},
        {9.99, 9990000},
        {10.01, 0},       // the clock passed 10 s: a restart
        {10.03, 20000},
        {10.05, 0},       // 0 after 40 ms: a backward step (the bridge started again, or a fault)
        {10.07, 20000},
        {20.03, 9980000},
        {20.07, 20000},   // the 0 at 20.05 was lost: still a restart
        {50.07, 0},       // 30 s without datagrams: a restart
        {50.09, 520000},  // 520 ms on for 20 ms: a jump
        {50.10, 530000},
        {50.60, 540000},  // 10 ms on for 500 ms: a jump too
    });
    EXPECT_EQ(t.Steps(), 12u);
    EXPECT_EQ(t.Restarts(), 3u);
    EXPECT_EQ(t.BackwardSteps(), 1u);
    EXPECT_EQ(t.Jumps(), 2u);
    EXPECT_EQ(t.Wraps(), 0u);
}

TEST(TimeContinuity, K2TenSecondsAreJudgedWithinTheJumpLimit)
{
    // The clock at 9.88 s, then a 0 after 10 ms (9.89 s: too early) or after
    // 30 ms (9.91 s: within 100 ms of ten seconds).
    const TimeContinuity early = Judge(KINEMORA_K2, {{5.00, 9880000}, {5.01, 0}});
    EXPECT_EQ(early.BackwardSteps(), 1u);
    EXPECT_EQ(early.Restarts(), 0u);
    const TimeContinuity in_time = Judge(KINEMORA_K2, {{5.00, 9880000}, {5.03, 0}});
    EXPECT_EQ(in_time.BackwardSteps(), 0u);
    EXPECT_EQ(in_time.Restarts(), 1u);
    // K2 has no wrap: a large field going to a small one is a step back.
    const TimeContinuity back = Judge(KINEMORA_K2, {{5.00, 3000000}, {5.02, 1000000}});
    EXPECT_EQ(back.BackwardSteps(), 1u);
}
