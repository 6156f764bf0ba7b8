// When the pump's failing dispatch calls end the connection.
#include "dispatch_watch.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kTicksPerSecond = 1000; // milliseconds, for readable times

// Passes every millisecond from first to last (inclusive) that all fail
// without a record; returns the time of the pass that ended the connection, or -1.
std::int64_t FailEveryPass(DispatchWatch& watch, std::int64_t first, std::int64_t last)
{
    for (std::int64_t t = first; t <= last; ++t) {
        if (watch.PassEnded(true, false, t))
            return t;
    }
    return -1;
}

} // namespace

TEST(DispatchWatch, TwoSecondsOfFailuresEndTheConnection)
{
    DispatchWatch watch(kTicksPerSecond);
    EXPECT_EQ(FailEveryPass(watch, 5000, 6999), -1);
    EXPECT_TRUE(watch.PassEnded(true, false, 7000));
}

TEST(DispatchWatch, AQuietConnectionIsNeverDropped)
{
    DispatchWatch watch(kTicksPerSecond);
    for (std::int64_t t = 0; t < 600000; t += 7)
        ASSERT_FALSE(watch.PassEnded(false, false, t)) << t;
}

TEST(DispatchWatch, ASuccessOrARecordStartsTheCountAgain)
{
    DispatchWatch watch(kTicksPerSecond);
    EXPECT_EQ(FailEveryPass(watch, 0, 1900), -1);
    EXPECT_FALSE(watch.PassEnded(false, false, 1901)); // one good pass
    EXPECT_EQ(FailEveryPass(watch, 1902, 5000), 3902);

    DispatchWatch records(kTicksPerSecond);
    EXPECT_EQ(FailEveryPass(records, 0, 1900), -1);
    EXPECT_FALSE(records.PassEnded(true, true, 1901)); // failed, but a record came
    EXPECT_EQ(FailEveryPass(records, 1902, 5000), 3902);
}

TEST(DispatchWatch, FailuresWithRecordsEveryFrameNeverEndIt)
{
    // A library that reports failure whenever nothing is queued, while the
    // simulator delivers 30 frames a second.
    DispatchWatch watch(kTicksPerSecond);
    for (std::int64_t t = 0; t < 60000; ++t)
        ASSERT_FALSE(watch.PassEnded(true, t % 33 == 0, t)) << t;
}
