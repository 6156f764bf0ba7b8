// The datagrams of whole runs, as the program makes them from its options:
// exact bytes at known instants, the soft start and stop, the zeros at the
// end and both time-field rules.
#include "signal_stream.h"
#include "signal_test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

std::int64_t ScriptedCounter::frequency = 0;
std::deque<std::int64_t> ScriptedCounter::counts;

namespace {

// A counter that never moves, for runs whose time field does not matter.
PerformanceCounter StillCounter()
{
    return ScriptedCounter::Script(1000000, {0});
}

// With --force: these runs are about the datagrams, whatever the bounds.
SignalSettings Settings(std::vector<std::string> arguments)
{
    arguments.push_back("--force");
    SignalOptions options;
    std::string error;
    EXPECT_TRUE(Parse(arguments, options, error)) << error;
    return options.signal;
}

// Every datagram of a run to its end (at most limit), as hex.
std::vector<std::string> RunToEnd(const std::vector<std::string>& arguments, std::size_t limit = 100000)
{
    SignalStream stream(Settings(arguments), StillCounter());
    stream.Start();
    std::vector<std::string> sent;
    while (!stream.Finished() && sent.size() < limit)
        sent.push_back(Hex(stream.Next()));
    return sent;
}

// "K01," and the time field, then the nine floats; one of them v (as hex), the rest 0.
std::string K01(const char* time, int slot, const char* v)
{
    std::string floats;
    for (int i = 0; i < 9; ++i)
        floats += i == slot ? v : "00000000";
    return std::string("4b30312c") + time + floats;
}

std::string K2(const char* time, int slot, const char* v)
{
    std::string floats;
    for (int i = 0; i < 12; ++i)
        floats += i == slot ? v : "00000000";
    return std::string("4b322c") + time + floats;
}

constexpr int kPitch = 4; // K01: velocity x y z, bank, then pitch
const std::string kK01Zeros(2 * 36, '0'); // the nine floats

TEST(SignalStream, SineWithoutRampIsExactAtTheQuartersAndEndsWithZeros)
{
    const std::vector<std::string> sent =
        RunToEnd({"--axis", "pitch", "--amplitude", "0.5", "--period", "1", "--rate", "8", "--ramp", "0", "--duration", "1"});
    ASSERT_EQ(sent.size(), 9u); // 8 in the second, then the zeros
    EXPECT_EQ(sent[0], K01("00000000", kPitch, "00000000"));
    EXPECT_EQ(sent[2], K01("90d00300", kPitch, "0000003f")); // 0.25 s: 250000 us, +0.5
    EXPECT_EQ(sent[4], K01("20a10700", kPitch, "00000000")); // 0.5 s: exactly 0
    EXPECT_EQ(sent[6], K01("b0710b00", kPitch, "000000bf")); // 0.75 s: -0.5
    EXPECT_EQ(sent[8], K01("40420f00", kPitch, "00000000")); // 1 s: the zeros
    EXPECT_EQ(sent[8].substr(16), kK01Zeros);
}

TEST(SignalStream, SquareTriangleAndStepAtChosenInstants)
{
    const std::vector<std::string> square = RunToEnd({"--axis", "pitch", "--shape", "square", "--amplitude", "2",
                                                 "--offset", "1", "--period", "1", "--rate", "8", "--ramp", "0"},
                                                9);
    EXPECT_EQ(square[0].substr(8 + 8 + 32, 8), "00004040"); // 3
    EXPECT_EQ(square[3].substr(8 + 8 + 32, 8), "00004040"); // 0.375 s: 3
    EXPECT_EQ(square[4].substr(8 + 8 + 32, 8), "000080bf"); // 0.5 s: -1
    EXPECT_EQ(square[7].substr(8 + 8 + 32, 8), "000080bf"); // 0.875 s: -1
    EXPECT_EQ(square[8].substr(8 + 8 + 32, 8), "00004040"); // 1 s: 3 again

    const std::vector<std::string> triangle = RunToEnd({"--format", "k2", "--axis", "heading", "--shape", "triangle",
                                                   "--amplitude", "1", "--period", "2", "--rate", "8", "--ramp", "0"},
                                                  15);
    const char* expected[] = {"00000000", "0000003f", "0000803f", "0000003f", "00000000", "000000bf", "000080bf",
                              "000000bf"}; // every 0.25 s: 0, 0.5, 1, 0.5, 0, -0.5, -1, -0.5
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(triangle[2 * i].substr(6 + 8 + 8 * 8, 8), expected[i]) << "at " << 0.25 * i << " s";

    const std::vector<std::string> step = RunToEnd({"--axis", "bank", "--shape", "step", "--amplitude", "0.25", "--offset",
                                               "0.1", "--period", "1", "--rate", "8", "--ramp", "0"},
                                              12);
    EXPECT_EQ(step[0], K01("00000000", 3, "cdcccc3d"));  // 0.1
    EXPECT_EQ(step[7], K01("f8590d00", 3, "cdcccc3d"));  // 0.875 s: still 0.1
    EXPECT_EQ(step[8], K01("40420f00", 3, "3333b33e"));  // 1 s: 0.35
    EXPECT_EQ(step[11], K01("18fb1400", 3, "3333b33e")); // 1.375 s: 0.35
}

// Where each field's float starts, from docs/protocol.md.
const std::map<std::string, int> kK01Offsets = {
    {"velocity_x", 8}, {"velocity_y", 12}, {"velocity_z", 16}, {"bank", 20}, {"pitch", 24}, {"rate_of_turn", 28},
    {"angular_velocity_x", 32}, {"angular_velocity_y", 36}, {"angular_velocity_z", 40}};
const std::map<std::string, int> kK2Offsets = {
    {"velocity_body_z", 7}, {"velocity_body_x", 11}, {"velocity_body_y", 15}, {"acceleration_body_z", 19},
    {"acceleration_body_x", 23}, {"acceleration_body_y", 27}, {"bank", 31}, {"pitch", 35}, {"heading", 39},
    {"rotation_velocity_body_z", 43}, {"rotation_velocity_body_x", 47}, {"rotation_velocity_body_y", 51}};

TEST(SignalStream, EachFieldMovesAtItsOwnOffsetAndEveryOtherByteIsZero)
{
    for (const auto* table : {&kK01Offsets, &kK2Offsets}) {
        const bool k01 = table == &kK01Offsets;
        for (const auto& [name, offset] : *table) {
            // A quarter period in: the amplitude, 1.0.
            const std::vector<std::string> sent = RunToEnd({"--format", k01 ? "k01" : "k2", "--axis", name, "--amplitude",
                                                       "1", "--period", "1", "--rate", "4", "--ramp", "0"},
                                                      2);
            std::string expected = k01 ? "4b30312c" : "4b322c";
            expected += k01 ? "90d00300" : "00000000"; // K2: time from the still counter
            expected += std::string(2 * (offset - (k01 ? 8 : 7)), '0') + "0000803f";
            expected += std::string(2 * ((k01 ? 44 : 55) - offset - 4), '0');
            EXPECT_EQ(sent[1], expected) << name;
        }
    }
}

TEST(SignalStream, TheSoftStartAndStopScaleTheWholeSignalThenZeros)
{
    // A constant 1.5 (square: offset 0.5 plus 1 for the first 50 s).
    const std::vector<std::string> sent = RunToEnd({"--axis", "pitch", "--shape", "square", "--amplitude", "1", "--offset",
                                               "0.5", "--period", "100", "--rate", "8", "--ramp", "0.5", "--duration",
                                               "1"});
    const char* expected[] = {
        "00000000", "0000c03e", "0000403f", "0000903f", "0000c03f", // up: 0, 0.375, 0.75, 1.125, 1.5
        "0000c03f", "0000c03f", "0000c03f", "0000c03f",             // 1.5 until 1 s
        "0000903f", "0000403f", "0000c03e",                         // down: 1.125, 0.75, 0.375
    };
    ASSERT_EQ(sent.size(), 13u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(sent[i].substr(16 + 32, 8), expected[i]) << "datagram " << i;
    EXPECT_EQ(sent[12].substr(16), kK01Zeros);
}

TEST(SignalStream, ANegativeSignalRampsFromAPlainZeroNotMinusZero)
{
    const std::vector<std::string> sent =
        RunToEnd({"--axis", "pitch", "--amplitude", "0", "--offset", "-0.5", "--rate", "8", "--ramp", "1"}, 1);
    EXPECT_EQ(sent[0], K01("00000000", kPitch, "00000000"));
}

TEST(SignalStream, StopOnTheWayUpComesDownFromThereThenZeros)
{
    SignalStream stream(Settings({"--axis", "pitch", "--shape", "square", "--amplitude", "1", "--offset", "0.5",
                                  "--period", "100", "--rate", "8", "--ramp", "0.5"}),
                        StillCounter());
    stream.Start();
    stream.Next();
    stream.Next(); // 0.375
    stream.Stop(); // Ctrl+C: from the next datagram, at level 0.5
    EXPECT_EQ(Hex(stream.Next()).substr(48, 8), "0000403f"); // 0.75
    EXPECT_EQ(Hex(stream.Next()).substr(48, 8), "0000c03e"); // 0.375
    EXPECT_FALSE(stream.Finished());
    EXPECT_EQ(Hex(stream.Next()).substr(16), kK01Zeros);
    EXPECT_TRUE(stream.Finished());
    EXPECT_EQ(stream.Count(), 5u);
}

TEST(SignalStream, ASecondStopShortensTheWayDownInsteadOfJumpingToZeros)
{
    // A constant 1 at full level from 1 s on; a soft stop of 1 s that a second
    // Ctrl+C cuts to a quarter second: 0.75, then 0.25, then the zeros.
    SignalStream stream(Settings({"--axis", "pitch", "--shape", "square", "--amplitude", "1", "--period", "100",
                                  "--rate", "8", "--ramp", "1"}),
                        StillCounter());
    stream.Start();
    for (int i = 0; i < 10; ++i)
        stream.Next();
    stream.Stop();
    EXPECT_EQ(Hex(stream.Next()), K01("d0121300", kPitch, "0000803f")); // 1.25 s: 1
    EXPECT_EQ(Hex(stream.Next()), K01("18fb1400", kPitch, "0000603f")); // 1.375 s: 0.875
    stream.Hasten(0.25);
    EXPECT_EQ(Hex(stream.Next()), K01("60e31600", kPitch, "0000403f")); // 1.5 s: 0.75
    EXPECT_EQ(Hex(stream.Next()), K01("a8cb1800", kPitch, "0000803e")); // 1.625 s: 0.25
    EXPECT_FALSE(stream.Finished());
    EXPECT_EQ(Hex(stream.Next()), K01("f0b31a00", kPitch, "00000000")); // 1.75 s: the zeros
    EXPECT_TRUE(stream.Finished());
}

TEST(SignalStream, WithoutARampAStopSendsTheZerosNext)
{
    SignalStream stream(Settings({"--axis", "pitch", "--amplitude", "0.1", "--rate", "8", "--ramp", "0"}),
                        StillCounter());
    stream.Start();
    stream.Next();
    stream.Stop();
    EXPECT_EQ(Hex(stream.Next()).substr(16), kK01Zeros);
    EXPECT_TRUE(stream.Finished());
}

TEST(SignalStream, K01TimeIsTheMicrosecondsSinceTheStartKeptToTheirLow25Bits)
{
    const std::vector<std::string> sent =
        RunToEnd({"--axis", "pitch", "--amplitude", "0", "--rate", "10", "--ramp", "0"}, 337);
    EXPECT_EQ(sent[0].substr(8, 8), "00000000");
    EXPECT_EQ(sent[1].substr(8, 8), "a0860100");   // 100000
    EXPECT_EQ(sent[335].substr(8, 8), "602bff01"); // 33.5 s: 33500000
    EXPECT_EQ(sent[336].substr(8, 8), "00b20000"); // 33.6 s: 33600000 - 2^25 = 45568
}

TEST(SignalStream, K2TimeFollowsTheBridgesClockZeroFirstThenRisingThenARestartAfterTenSeconds)
{
    // One tick per microsecond; the clock starts at tick 1000.
    const PerformanceCounter counter = ScriptedCounter::Script(
        1000000, {1000, 17667, 10001000, 10001001, 10001001, 10501001});
    SignalStream stream(Settings({"--format", "k2", "--axis", "pitch", "--amplitude", "0", "--ramp", "0"}), counter);
    stream.Start();
    EXPECT_EQ(Hex(stream.Next()).substr(6, 8), "00000000"); // the first: 0, the counter unread
    EXPECT_EQ(Hex(stream.Next()).substr(6, 8), "1b410000"); // 16667
    EXPECT_EQ(Hex(stream.Next()).substr(6, 8), "80969800"); // 10000000: not yet
    EXPECT_EQ(Hex(stream.Next()).substr(6, 8), "00000000"); // 10000001: a restart
    EXPECT_EQ(Hex(stream.Next()).substr(6, 8), "20a10700"); // 500000 after the restart
}

TEST(SignalStream, AK2RunEndsWithZerosToo)
{
    const std::vector<std::string> sent =
        RunToEnd({"--format", "k2", "--axis", "bank", "--amplitude", "0.2", "--period", "1", "--rate", "4", "--ramp", "0",
             "--duration", "1"});
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[1], K2("00000000", 6, "cdcc4c3e")); // 0.2 at a quarter period
    EXPECT_EQ(sent[4], K2("00000000", 6, "00000000"));
}

} // namespace
