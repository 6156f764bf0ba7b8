#include "listen_stats.h"

#include <gtest/gtest.h>

TEST(ListenStats, CountsKindsAndGaps)
{
    ListenStats stats;
    stats.Add(KINEMORA_K01, 10.000);
    stats.Add(KINEMORA_K2, 10.020);
    stats.Add(KINEMORA_UNRECOGNISED, 10.025);
    stats.Add(KINEMORA_K01, 10.100);
    EXPECT_EQ(stats.Total(), 4u);
    EXPECT_EQ(stats.K01(), 2u);
    EXPECT_EQ(stats.K2(), 1u);
    EXPECT_EQ(stats.Unrecognised(), 1u);
    EXPECT_EQ(stats.Summary(),
              "summary: 4 datagrams: K01 2, K2 1, unrecognised 1\n"
              "rate: 30.0 Hz over 0.100 s; gap between datagrams: smallest 5.000 ms, largest 75.000 ms\n");
}

TEST(ListenStats, NoRateWithoutTwoDatagrams)
{
    ListenStats stats;
    EXPECT_EQ(stats.Summary(),
              "summary: 0 datagrams: K01 0, K2 0, unrecognised 0\n"
              "rate: not measured (needs two datagrams at different times)\n");
    stats.Add(KINEMORA_K2, 5.0);
    EXPECT_EQ(stats.Summary(),
              "summary: 1 datagrams: K01 0, K2 1, unrecognised 0\n"
              "rate: not measured (needs two datagrams at different times)\n");
}
