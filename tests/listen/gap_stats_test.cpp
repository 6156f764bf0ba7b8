#include "gap_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Arrival times that start at 100 s and leave the given gaps, in milliseconds.
GapStats Arrivals(const std::vector<double>& gaps_ms)
{
    GapStats stats;
    double t = 100.0;
    stats.Add(t);
    for (double gap : gaps_ms) {
        t += gap / 1000.0;
        stats.Add(t);
    }
    return stats;
}

} // namespace

TEST(Histogram, PercentileIsExactBelowTwoMillisecondsAndAtMostAThousandthLowAbove)
{
    const std::uint64_t exact[] = {0, 1, 999, 2047};
    for (std::uint64_t gap : exact) {
        Histogram h;
        h.Add(gap);
        EXPECT_EQ(h.Percentile(50), gap);
    }
    const std::uint64_t wide[] = {2048, 2049, 4095, 4097, 16667, 16683, 33333, 1000001, 4294967295u};
    for (std::uint64_t gap : wide) {
        Histogram h;
        h.Add(gap);
        EXPECT_LE(h.Percentile(50), gap) << gap;
        EXPECT_GE(h.Percentile(50) * 1024, gap * 1023) << gap;
    }
    // Gaps of 71 minutes and more share the last bucket.
    Histogram longest;
    longest.Add(std::uint64_t{1} << 40);
    EXPECT_EQ(longest.Percentile(50), 4292870144u);
    EXPECT_EQ(longest.CountAbove(4294967295u), 0u);
    EXPECT_EQ(longest.CountAbove(4292870143u), 1u);
}

TEST(Histogram, NearestRankAndCountAbove)
{
    Histogram h;
    EXPECT_EQ(h.Percentile(50), 0u);
    for (std::uint64_t gap : {4000u, 1000u, 3000u, 2000u})
        h.Add(gap);
    EXPECT_EQ(h.Percentile(50), 2000u); // the lower middle of an even count
    EXPECT_EQ(h.Percentile(75), 3000u);
    EXPECT_EQ(h.Percentile(99), 4000u);
    EXPECT_EQ(h.Percentile(1), 1000u);
    EXPECT_EQ(h.CountAbove(2000), 2u); // strictly above
    EXPECT_EQ(h.CountAbove(1999), 3u);
    EXPECT_EQ(h.CountAbove(4000), 0u);
}

TEST(GapStats, MedianPercentileJitterAndStallsOfAKnownStream)
{
    // 100 gaps: one of 4 ms, 96 of 20 ms, then 60, 64 and 200 ms, in an order
    // that puts the long ones in the middle.
    std::vector<double> gaps(48, 20.0);
    gaps.insert(gaps.end(), {200.0, 4.0, 60.0});
    gaps.insert(gaps.end(), 48, 20.0);
    gaps.push_back(64.0);
    const GapStats stats = Arrivals(gaps);

    EXPECT_EQ(stats.Arrivals(), 101u);
    EXPECT_EQ(stats.GapCount(), 100u);
    EXPECT_NEAR(stats.Smallest(), 0.004, 1e-12);
    EXPECT_NEAR(stats.Largest(), 0.200, 1e-12);
    EXPECT_NEAR(stats.Median(), 0.020, 1e-12);
    EXPECT_NEAR(stats.Percentile99(), 0.064, 1e-12);
    // Mean 22.48 ms; variance 355.7696 ms^2 over the 100 gaps.
    EXPECT_NEAR(stats.Jitter(), std::sqrt(355.7696) / 1000.0, 1e-12);
    // Three times the median is 60 ms: exactly 60 is no stall, 64 and 200 are.
    EXPECT_NEAR(stats.StallLimit(), 0.060, 1e-12);
    EXPECT_EQ(stats.Stalls(), 2u);
    EXPECT_NEAR(stats.LongestStall(), 0.200, 1e-12);
}

TEST(GapStats, EvenPaceHasNoJitterAndNoStall)
{
    const GapStats stats = Arrivals(std::vector<double>(500, 4.0));
    EXPECT_NEAR(stats.Median(), 0.004, 1e-12);
    EXPECT_NEAR(stats.Percentile99(), 0.004, 1e-12);
    EXPECT_NEAR(stats.Jitter(), 0.0, 1e-12);
    EXPECT_EQ(stats.Stalls(), 0u);
    EXPECT_EQ(stats.LongestStall(), 0.0);

    GapStats none;
    none.Add(5.0);
    EXPECT_EQ(none.GapCount(), 0u);
    EXPECT_EQ(none.Median(), 0.0);
    EXPECT_EQ(none.Jitter(), 0.0);
    EXPECT_EQ(none.Stalls(), 0u);
}
