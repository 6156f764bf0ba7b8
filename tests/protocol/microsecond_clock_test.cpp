#include "microsecond_clock.h"
#include "scripted_counter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <utility>

std::int64_t ScriptedCounter::frequency = 0;
std::deque<std::int64_t> ScriptedCounter::counts;

namespace {

MicrosecondClock CalibratedClock(std::int64_t ticks_per_second, std::deque<std::int64_t> script)
{
    MicrosecondClock clock{ScriptedCounter::Script(ticks_per_second, std::move(script))};
    clock.Calibrate();
    return clock;
}

constexpr std::int64_t kTenMegahertz = 10000000; // 10 ticks per microsecond
constexpr std::int64_t kStart = 5000000000;

TEST(MicrosecondClock, CalibrationReadsTheFrequencyThenTheCounterOnce)
{
    CalibratedClock(kTenMegahertz, {kStart});
    EXPECT_EQ(ScriptedCounter::frequency_reads, 1);
    EXPECT_EQ(ScriptedCounter::count_reads, 1);
}

TEST(MicrosecondClock, FirstDatagramCarriesZeroWithoutReadingTheCounter)
{
    // However long the program waited: the first field is 0 and nothing restarts.
    MicrosecondClock clock = CalibratedClock(kTenMegahertz, {kStart, kStart + 3600 * kTenMegahertz});
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(ScriptedCounter::count_reads, 1);
    EXPECT_EQ(ScriptedCounter::frequency_reads, 1);
}

TEST(MicrosecondClock, CountsTruncatedMicrosecondsSinceTheStartNotSinceTheLastDatagram)
{
    MicrosecondClock clock =
        CalibratedClock(kTenMegahertz, {kStart, kStart + 12345678, kStart + 20000009, kStart + 20000019});
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 1234567u); // 1,234,567.8 truncated
    EXPECT_EQ(clock.TimeField(), 2000000u);
    EXPECT_EQ(clock.TimeField(), 2000001u);
    EXPECT_EQ(ScriptedCounter::count_reads, 4);
    EXPECT_EQ(ScriptedCounter::frequency_reads, 1);
}

TEST(MicrosecondClock, ExactlyTenSecondsStaysAndDoesNotRestart)
{
    MicrosecondClock clock = CalibratedClock(kTenMegahertz, {kStart, kStart + 100000000, kStart + 100000005});
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 10000000u);
    EXPECT_EQ(ScriptedCounter::frequency_reads, 1);
    // 10,000,000.5 still truncates to 10,000,000.
    EXPECT_EQ(clock.TimeField(), 10000000u);
    EXPECT_EQ(ScriptedCounter::frequency_reads, 1);
}

TEST(MicrosecondClock, BeyondTenSecondsGivesZeroAndCountsOnFromTheRestartRead)
{
    const std::int64_t over = kStart + 100000010;  // 10,000,001 microseconds
    const std::int64_t restart = over + 777;       // the restart's own counter read
    MicrosecondClock clock = CalibratedClock(kTenMegahertz, {kStart, over, restart, restart + 50, restart + 25000});
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(ScriptedCounter::frequency_reads, 2); // calibrated again
    EXPECT_EQ(ScriptedCounter::count_reads, 3);     // one read to measure, one to restart
    EXPECT_EQ(clock.TimeField(), 5u);
    EXPECT_EQ(clock.TimeField(), 2500u);
}

TEST(MicrosecondClock, BoundaryFollowsTruncationAtAnOddFrequency)
{
    // Three ticks per microsecond: 30,000,002 ticks are 10,000,000.67 microseconds.
    MicrosecondClock clock = CalibratedClock(3000000, {0, 30000002, 30000003, 30000003, 30000006});
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 10000000u);
    EXPECT_EQ(clock.TimeField(), 0u); // 10,000,001: restarted at 30,000,003
    EXPECT_EQ(clock.TimeField(), 1u);
}

TEST(MicrosecondClock, RestartTakesTheFrequencyAnew)
{
    MicrosecondClock clock = CalibratedClock(kTenMegahertz, {kStart, kStart + 200000000, 1000, 1000 + 4000});
    EXPECT_EQ(clock.TimeField(), 0u);
    ScriptedCounter::frequency = 2000000; // two ticks per microsecond from now on
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 2000u);
}

TEST(MicrosecondClock, FirstDatagramRuleAppliesOnlyOnce)
{
    // A long pause after the first datagram restarts the clock like any other.
    MicrosecondClock clock = CalibratedClock(kTenMegahertz, {kStart, kStart + 500000000, 7000, 7010});
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 1u);
    ScriptedCounter::counts = {100, 110};
    clock.Calibrate(); // as at program start: still no second free zero
    EXPECT_EQ(clock.TimeField(), 1u);
}

TEST(MicrosecondClock, CounterBehindTheStartGivesZeroWithoutRestarting)
{
    MicrosecondClock clock = CalibratedClock(kTenMegahertz, {kStart, kStart - 100, kStart + 30});
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(clock.TimeField(), 0u);
    EXPECT_EQ(ScriptedCounter::frequency_reads, 1);
    EXPECT_EQ(clock.TimeField(), 3u);
}

} // namespace
