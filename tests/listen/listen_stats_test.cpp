#include "listen_stats.h"

#include <gtest/gtest.h>

TEST(ListenStats, CountsKindsAndGaps)
{
    ListenStats stats;
    stats.Add(10.000, "192.0.2.10", KINEMORA_K01, 1000);
    stats.Add(10.020, "192.0.2.10", KINEMORA_K2, 0);
    stats.Add(10.025, "192.0.2.10", KINEMORA_UNRECOGNISED, 0);
    stats.Add(10.100, "192.0.2.10", KINEMORA_K01, 101000);
    EXPECT_EQ(stats.Total(), 4u);
    EXPECT_EQ(stats.K01(), 2u);
    EXPECT_EQ(stats.K2(), 1u);
    EXPECT_EQ(stats.Unrecognised(), 1u);
    EXPECT_EQ(stats.Summary(),
              "summary: 4 datagrams: K01 2, K2 1, unrecognised 1\n"
              "rate: 30.0 Hz over 0.100 s; gap between datagrams: smallest 5.000 ms, largest 75.000 ms\n"
              // 75 ms lies in the histogram bucket that starts at 74.944 ms.
              "gaps: median 20.000 ms, 99th percentile 74.944 ms, largest 75.000 ms\n"
              "jitter: 30.092 ms (standard deviation of the gaps)\n"
              "stalls: 1 (gaps over 60.000 ms, three times the median), longest 75.000 ms\n"
              "time field K01 from 192.0.2.10: 1 steps: wraps 0, restarts 0, backward steps 0, jumps 0\n");
}

TEST(ListenStats, NoRateWithoutTwoDatagrams)
{
    ListenStats stats;
    EXPECT_EQ(stats.Summary(),
              "summary: 0 datagrams: K01 0, K2 0, unrecognised 0\n"
              "rate: not measured (needs two datagrams at different times)\n"
              "gaps: not measured (needs two datagrams)\n");
    stats.Add(5.0, "192.0.2.10", KINEMORA_K2, 0);
    EXPECT_EQ(stats.Summary(),
              "summary: 1 datagrams: K01 0, K2 1, unrecognised 0\n"
              "rate: not measured (needs two datagrams at different times)\n"
              "gaps: not measured (needs two datagrams)\n");
}

TEST(ListenStats, TwoSendersWithAWrapARestartAndAStall)
{
    // K01 from one sender every 20 ms, wrapping past 2^25 us; K2 from another
    // in between, its clock restarting after ten seconds; a stranger's
    // datagram after a 60 ms silence.
    ListenStats stats;
    stats.Add(0.000, "192.0.2.10", KINEMORA_K01, 33515432);
    stats.Add(0.010, "192.0.2.11", KINEMORA_K2, 9950000);
    stats.Add(0.020, "192.0.2.10", KINEMORA_K01, 33535432);
    stats.Add(0.030, "192.0.2.11", KINEMORA_K2, 9970000);
    stats.Add(0.040, "192.0.2.10", KINEMORA_K01, 1000);
    stats.Add(0.050, "192.0.2.11", KINEMORA_K2, 0);
    stats.Add(0.060, "192.0.2.10", KINEMORA_K01, 21000);
    stats.Add(0.070, "192.0.2.11", KINEMORA_K2, 20000);
    stats.Add(0.130, "198.51.100.7", KINEMORA_UNRECOGNISED, 0);
    stats.Add(0.140, "192.0.2.10", KINEMORA_K01, 101000);
    EXPECT_EQ(stats.Summary(),
              "summary: 10 datagrams: K01 5, K2 4, unrecognised 1\n"
              "rate: 64.3 Hz over 0.140 s; gap between datagrams: smallest 10.000 ms, largest 60.000 ms\n"
              "gaps: median 10.000 ms, 99th percentile 60.000 ms, largest 60.000 ms\n"
              "jitter: 15.713 ms (standard deviation of the gaps)\n"
              "stalls: 1 (gaps over 30.000 ms, three times the median), longest 60.000 ms\n"
              "from 192.0.2.10: 5 datagrams: K01 5, K2 0, unrecognised 0\n"
              "from 192.0.2.11: 4 datagrams: K01 0, K2 4, unrecognised 0\n"
              "from 198.51.100.7: 1 datagrams: K01 0, K2 0, unrecognised 1\n"
              "time field K01 from 192.0.2.10: 4 steps: wraps 1, restarts 0, backward steps 0, jumps 0\n"
              "time field K2 from 192.0.2.11: 3 steps: restarts 1, backward steps 0, jumps 0\n");
}

TEST(ListenStats, SendersBeyondTheFirstSixteenAreCountedTogether)
{
    ListenStats stats;
    for (int i = 0; i < 20; ++i)
        stats.Add(i * 0.01, "10.0.0." + std::to_string(i), KINEMORA_K2, static_cast<std::uint32_t>(i));
    stats.Add(0.20, "10.0.0.19", KINEMORA_K2, 0);
    stats.Add(0.21, "10.0.0.15", KINEMORA_K2, 60015);
    const std::string summary = stats.Summary();
    EXPECT_NE(summary.find("from 10.0.0.15: 2 datagrams: K01 0, K2 2, unrecognised 0\n"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("from 10.0.0.16:"), std::string::npos) << summary;
    EXPECT_NE(summary.find("from other addresses: 5 datagrams (only the first 16 addresses are told apart)\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("time field K2 from 10.0.0.15: 1 steps: restarts 0, backward steps 0, jumps 0\n"),
              std::string::npos)
        << summary;
}

TEST(ListenStats, BurstsLeaveStallsUnmeasured)
{
    ListenStats stats;
    for (int i = 0; i < 5; ++i)
        stats.Add(1.0, "192.0.2.10", KINEMORA_UNRECOGNISED, 0);
    stats.Add(1.512, "192.0.2.10", KINEMORA_UNRECOGNISED, 0);
    const std::string summary = stats.Summary();
    EXPECT_NE(summary.find("gaps: median 0.000 ms, 99th percentile 512.000 ms, largest 512.000 ms\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("stalls: not measured (the median gap is 0: the datagrams came in bursts)\n"),
              std::string::npos)
        << summary;
}
