#include "little_endian.h"
#include "live_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// A K01 datagram, little-endian as on the wire; every float's bits as given.
std::vector<unsigned char> K01(std::uint32_t time_us, const float (&values)[9])
{
    std::vector<unsigned char> d(44);
    std::memcpy(d.data(), "K01,", 4);
    PutU32(d.data() + 4, time_us);
    for (int i = 0; i < 9; ++i) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &values[i], 4);
        PutU32(d.data() + 8 + 4 * i, bits);
    }
    return d;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

} // namespace

TEST(FieldBar, FillsFromSmallestToLargest)
{
    EXPECT_EQ(FieldBar(-0.5f, -0.5f, 1.0f, 10), "..........");
    EXPECT_EQ(FieldBar(1.0f, -0.5f, 1.0f, 10), "##########");
    EXPECT_EQ(FieldBar(0.25f, -0.5f, 1.0f, 10), "#####.....");
    EXPECT_EQ(FieldBar(0.0f, -0.5f, 1.0f, 10), "###.......");   // 3.33 cells
    EXPECT_EQ(FieldBar(0.1f, -0.5f, 1.0f, 10), "####......");   // 4.0 cells
    EXPECT_EQ(FieldBar(0.4f, -0.5f, 1.0f, 10), "######....");   // 6.0 cells
    EXPECT_EQ(FieldBar(0.05f, -0.5f, 1.0f, 10), "####......");  // 3.67 cells, rounded
    EXPECT_EQ(FieldBar(7.0f, 7.0f, 7.0f, 4), "....");           // no range yet
    EXPECT_EQ(FieldBar(kNaN, -1.0f, 1.0f, 4), "    ");
    EXPECT_EQ(FieldBar(-std::numeric_limits<float>::infinity(), -1.0f, 1.0f, 4), "    ");
}

TEST(FieldRanges, KeepsTheLatestValueAndTheFiniteBounds)
{
    FieldRanges ranges;
    const unsigned char junk[] = {'K', '0', '1', ','};
    ranges.Add(DecodeDatagram(junk, sizeof(junk)), "192.0.2.99");
    EXPECT_EQ(ranges.K01().datagrams, 0u);

    const auto a = K01(1000, {1, 0, 0, -0.5f, kNaN, 0, 0, 0, 0});
    const auto b = K01(2000, {3, 0, 0, 1.0f, kNaN, 0, 0, 0, 0});
    const auto c = K01(3000, {2, 0, 0, 0.25f, 4.0f, 0, 0, 0, kNaN});
    for (const auto* d : {&a, &b, &c})
        ranges.Add(DecodeDatagram(d->data(), d->size()), "192.0.2.10");
    const KindFields& k01 = ranges.K01();
    EXPECT_EQ(k01.datagrams, 3u);
    EXPECT_EQ(k01.time_us, 3000u);
    EXPECT_EQ(k01.source, "192.0.2.10");
    ASSERT_EQ(k01.field_count, 9u);
    EXPECT_STREQ(k01.fields[0].name, "velocity_x");
    EXPECT_EQ(k01.fields[0].current, 2.0f);
    EXPECT_EQ(k01.fields[0].smallest, 1.0f);
    EXPECT_EQ(k01.fields[0].largest, 3.0f);
    EXPECT_EQ(k01.fields[4].smallest, 4.0f); // the NaNs before were no bound
    EXPECT_EQ(k01.fields[4].largest, 4.0f);
    EXPECT_TRUE(std::isnan(k01.fields[8].current));
    EXPECT_EQ(k01.fields[8].smallest, 0.0f);
    EXPECT_EQ(k01.fields[8].largest, 0.0f);
    EXPECT_EQ(ranges.K2().datagrams, 0u);
}

TEST(LiveView, LinesOfAK01Stream)
{
    ListenStats stats;
    FieldRanges ranges;
    const auto a = K01(0, {51.2f, 0, 0, -0.5f, kNaN, 0, 0, 0, 0});
    const auto b = K01(20000, {51.2f, 0, 0, 1.0f, kNaN, 0, 0, 0, 0});
    const auto c = K01(40000, {51.2f, 0, 0, 0.25f, kNaN, 0, 0, 0, -0.015625f});
    double arrival = 1.0;
    for (const auto* d : {&a, &b, &c}) {
        const DecodedDatagram decoded = DecodeDatagram(d->data(), d->size());
        stats.Add(arrival, "192.0.2.10", decoded.kind, decoded.time_us);
        ranges.Add(decoded, "192.0.2.10");
        arrival += 0.02;
    }
    const std::vector<std::string> lines = LiveViewLines(stats, ranges, {50010, 1.54}, 80);
    const std::vector<std::string> expected = {
        "kinemora-listen --live: UDP port 50010, 1.5 s (Ctrl+C to stop)",
        "datagrams 3: K01 3, K2 0, unrecognised 0; the latest 0.5 s ago",
        "rate 50.0 Hz   jitter 0.000 ms   stalls 0 (gaps over 60.000 ms)",
        "gaps: median 20.000 ms, 99th percentile 20.000 ms, largest 20.000 ms",
        "",
        "K01 from 192.0.2.10, time_us 40000",
        "  field                         latest    smallest                  largest",
        "  velocity_x                      51.2        51.2 [..............] 51.2",
        "  velocity_y                         0           0 [..............] 0",
        "  velocity_z                         0           0 [..............] 0",
        "  bank                            0.25        -0.5 [#######.......] 1",
        "  pitch                            nan           - [              ] -",
        "  rate_of_turn                       0           0 [..............] 0",
        "  angular_velocity_x                 0           0 [..............] 0",
        "  angular_velocity_y                 0           0 [..............] 0",
        "  angular_velocity_z         -0.015625   -0.015625 [..............] 0",
    };
    EXPECT_EQ(lines, expected);
}

TEST(LiveView, WaitingAndTheBarWidthFollowsTheWindow)
{
    ListenStats stats;
    FieldRanges ranges;
    EXPECT_EQ(LiveViewLines(stats, ranges, {50123, 0.0}, 200),
              (std::vector<std::string>{
                  "kinemora-listen --live: UDP port 50123, 0.0 s (Ctrl+C to stop)",
                  "datagrams 0: waiting; check that the simulator and the plug-in or bridge run",
              }));
    // Lines are cut to one column less than the window, so none wraps.
    EXPECT_EQ(LiveViewLines(stats, ranges, {50123, 0.0}, 31)[1], "datagrams 0: waiting; check th");

    const auto d = K01(0, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    const DecodedDatagram decoded = DecodeDatagram(d.data(), d.size());
    stats.Add(0.5, "192.0.2.10", decoded.kind, decoded.time_us);
    ranges.Add(decoded, "192.0.2.10");
    // The bar takes what the window leaves, from 10 to 40 cells.
    const auto bar_of = [&](int columns) {
        const std::string line = LiveViewLines(stats, ranges, {50123, 1.0}, columns).back();
        return line.find(']') - line.find('[') - 1;
    };
    EXPECT_EQ(bar_of(76), 10u);
    EXPECT_EQ(bar_of(80), 14u);
    EXPECT_EQ(bar_of(100), 34u);
    EXPECT_EQ(bar_of(250), 40u);
    // Narrower still, the bar keeps 10 cells and the line is cut.
    EXPECT_EQ(LiveViewLines(stats, ranges, {50123, 1.0}, 60).back(),
              "  angular_velocity_z                 0           0 [.......");
    EXPECT_EQ(LiveViewLines(stats, ranges, {50123, 1.0}, 80)[2],
              "rate, jitter and stalls: not measured yet (needs two datagrams)");
}

TEST(ScreenFrame, EveryLineAtItsRowCutAndCleared)
{
    EXPECT_EQ(ScreenFrame({"abc", "defghij"}, 5, 4), "\x1b[1;1Habc\x1b[K\x1b[2;1Hdefg\x1b[K\x1b[3;1H\x1b[J");
    // Exactly as many lines as rows: nothing below to clear.
    EXPECT_EQ(ScreenFrame({"a", "b"}, 80, 2), "\x1b[1;1Ha\x1b[K\x1b[2;1Hb\x1b[K");
    // More lines than rows: the last row tells how many are hidden.
    EXPECT_EQ(ScreenFrame({"1", "2", "3", "4", "5"}, 80, 3),
              "\x1b[1;1H1\x1b[K\x1b[2;1H2\x1b[K\x1b[3;1H(3 more lines: make the window taller)\x1b[K");
}
