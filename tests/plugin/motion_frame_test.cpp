// One host frame through RunFrame, with a capturing sink instead of the
// network and a plug-in state of each test's own.
#include "motion_frame.h"
#include "record_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using record_bytes::Append;
using record_bytes::PutDouble;
using record_bytes::Record;

namespace {

constexpr std::uint8_t kDouble = 2;
constexpr std::uint8_t kVector = 4;
constexpr std::uint64_t kBody = 0x02040040;
constexpr std::uint64_t kWorld = 0x02000040;

std::vector<std::uint8_t> DoubleRecord(const tm_external_message& constant, double value)
{
    auto r = Record(72, constant.get_id(), kDouble, 0x02000040);
    PutDouble(r, 64, value);
    return r;
}

std::vector<std::uint8_t> VectorRecord(const tm_external_message& constant, double x, double y, double z,
                                       std::uint64_t flags = kBody)
{
    auto r = Record(88, constant.get_id(), kVector, flags);
    PutDouble(r, 64, x);
    PutDouble(r, 72, y);
    PutDouble(r, 80, z);
    return r;
}

struct Frame {
    std::vector<std::uint8_t> bytes;
    std::uint32_t count = 0;
    Frame& Add(const std::vector<std::uint8_t>& record)
    {
        Append(bytes, record);
        ++count;
        return *this;
    }
};

std::vector<std::vector<std::uint8_t>> sent;

void Capture(const void* data, std::int32_t length)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    sent.emplace_back(p, p + length);
}

// Runs one frame on state; returns the datagram it sent, or nothing.
std::vector<std::uint8_t> SendOn(PluginState& state, const Frame& frame)
{
    sent.clear();
    RunFrame(state, frame.bytes.data(), frame.count, Capture);
    return sent.empty() ? std::vector<std::uint8_t>{} : sent.back();
}

std::uint32_t TimeFieldOf(const std::vector<std::uint8_t>& d)
{
    return LoadU32(d.data() + kK01TimeOffset);
}

float F32Of(const std::vector<std::uint8_t>& d, const char* name)
{
    return LoadF32(d.data() + FindField(DatagramFormat::K01, name)->offset);
}

Frame EveryMotionMessage()
{
    Frame f;
    f.Add(DoubleRecord(MessageAircraftPitch, 0.25))
        .Add(DoubleRecord(MessageAircraftBank, -0.5))
        .Add(VectorRecord(MessageAircraftVelocity, 51.2, -1.5, 2.25))
        .Add(VectorRecord(MessageAircraftAngularVelocity, 0.1, 0.2, 0.3))
        .Add(DoubleRecord(MessageAircraftRateOfTurn, 0.125))
        .Add(DoubleRecord(MessageSimulationTime, 1.5));
    return f;
}

// A state whose first datagram has gone out already, as in a plug-in that has
// sent for a while.
class Frames : public ::testing::Test {
protected:
    void SetUp() override
    {
        Frame any;
        any.Add(Record(64, 0, 0));
        Send(any);
        state.Clear();
    }

    std::vector<std::uint8_t> Send(const Frame& frame) { return SendOn(state, frame); }

    PluginState state;
};

} // namespace

TEST(RunFrame, FirstDatagramRuleAndEmptyFrames)
{
    PluginState state;
    Frame empty;
    EXPECT_TRUE(SendOn(state, empty).empty());
    EXPECT_TRUE(sent.empty()) << "a frame without records sends nothing";
    EXPECT_EQ(state.CopyOut().counter, 0u);

    // A null stream is an empty frame whatever the count: nothing is read or sent.
    RunFrame(state, nullptr, 3, Capture);
    RunFrame(state, nullptr, 0xFFFFFFFFu, Capture);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(state.CopyOut().counter, 0u);

    // The first datagram carries time 0 even with Simulation.Time present, and so does the snapshot.
    auto first = SendOn(state, EveryMotionMessage());
    ASSERT_EQ(first.size(), kK01Size);
    EXPECT_EQ(TimeFieldOf(first), 0u);
    TelemetrySnapshot s = state.CopyOut();
    EXPECT_EQ(s.counter, 1u);
    EXPECT_EQ(s.time, 0.0);
    EXPECT_EQ(s.trace[0].x, 51.2);

    auto second = SendOn(state, EveryMotionMessage());
    EXPECT_EQ(TimeFieldOf(second), 1500000u);
    EXPECT_EQ(state.CopyOut().time, 1.5);

    // Init clears the snapshot but the rule does not apply again.
    state.Clear();
    auto after_clear = SendOn(state, EveryMotionMessage());
    EXPECT_EQ(TimeFieldOf(after_clear), 1500000u);
    EXPECT_EQ(state.CopyOut().counter, 1u);

    // Empty frames leave everything as it was; a null stream with count 0 is never read.
    const TelemetrySnapshot before = state.CopyOut();
    sent.clear();
    RunFrame(state, nullptr, 0, Capture);
    EXPECT_TRUE(sent.empty());
    const TelemetrySnapshot after = state.CopyOut();
    EXPECT_EQ(after.counter, before.counter);
    EXPECT_EQ(after.time, before.time);
}

TEST_F(Frames, EveryFieldAtItsOffset)
{
    const auto d = Send(EveryMotionMessage());
    const std::vector<std::uint8_t> expected = {
        'K', '0', '1', ',',     0x60, 0xE3, 0x16, 0x00,  // 1,500,000 us
        0xCD, 0xCC, 0x4C, 0x42,  0x00, 0x00, 0xC0, 0xBF,  0x00, 0x00, 0x10, 0x40,  // velocity 51.2 -1.5 2.25
        0x00, 0x00, 0x00, 0xBF,  // bank -0.5
        0x00, 0x00, 0x80, 0x3E,  // pitch 0.25
        0x00, 0x00, 0x00, 0x3E,  // rate of turn 0.125
        0xCD, 0xCC, 0xCC, 0x3D,  0xCD, 0xCC, 0x4C, 0x3E,  0x9A, 0x99, 0x99, 0x3E,  // angular 0.1 0.2 0.3
    };
    EXPECT_EQ(d, expected);
}

TEST_F(Frames, NoKnownMessagesStillSendsZeros)
{
    const TelemetrySnapshot before = state.CopyOut();
    Frame f;
    f.Add(Record(72, tm_msg_name_hash("Aircraft.Altitude"), kDouble)).Add(Record(64, 0, 0));
    std::vector<std::uint8_t> expected(kK01Size, 0);
    std::memcpy(expected.data(), "K01,", 4);
    EXPECT_EQ(Send(f), expected);
    const TelemetrySnapshot after = state.CopyOut();
    EXPECT_EQ(after.counter, before.counter + 1);
    EXPECT_EQ(after.trace[0].x, 0.0);
    EXPECT_EQ(after.trace[1].x, before.trace[0].x);
}

TEST_F(Frames, LastRecordOfAKindWinsAndValuesDoNotCarryOver)
{
    Frame f;
    f.Add(DoubleRecord(MessageAircraftPitch, 0.5)).Add(DoubleRecord(MessageAircraftPitch, -0.75));
    f.Add(VectorRecord(MessageAircraftVelocity, 1, 2, 3)).Add(VectorRecord(MessageAircraftVelocity, 4, 5, 6));
    auto d = Send(f);
    EXPECT_EQ(F32Of(d, "pitch"), -0.75f);
    EXPECT_EQ(F32Of(d, "velocity_x"), 4.0f);
    EXPECT_EQ(F32Of(d, "velocity_z"), 6.0f);

    Frame next;
    next.Add(DoubleRecord(MessageAircraftBank, 0.1));
    d = Send(next);
    EXPECT_EQ(F32Of(d, "pitch"), 0.0f) << "pitch of the previous frame must not carry over";
    EXPECT_EQ(F32Of(d, "velocity_x"), 0.0f);
}

TEST_F(Frames, WorldFrameVelocityIsIgnored)
{
    Frame world_only;
    world_only.Add(VectorRecord(MessageAircraftVelocity, 9, 9, 9, kWorld));
    auto d = Send(world_only);
    EXPECT_EQ(F32Of(d, "velocity_x"), 0.0f);
    EXPECT_EQ(state.CopyOut().trace[0].x, 0.0);

    Frame body_then_world;
    body_then_world.Add(VectorRecord(MessageAircraftVelocity, 7, 8, 9))
        .Add(VectorRecord(MessageAircraftVelocity, 1, 1, 1, kWorld));
    d = Send(body_then_world);
    EXPECT_EQ(F32Of(d, "velocity_x"), 7.0f);
    EXPECT_EQ(F32Of(d, "velocity_y"), 8.0f);
    EXPECT_EQ(F32Of(d, "velocity_z"), 9.0f);
    EXPECT_EQ(state.CopyOut().trace[0].z, 9.0);

    // Any flag set that includes BodyFrame counts, bits above 31 included.
    Frame odd_flags;
    odd_flags.Add(VectorRecord(MessageAircraftVelocity, 3, 0, 0, 0xFFFF000000040000ull));
    EXPECT_EQ(F32Of(Send(odd_flags), "velocity_x"), 3.0f);
}

TEST_F(Frames, KnownIdentifierWithWrongTypeIsSkipped)
{
    Frame f;
    f.Add(DoubleRecord(MessageAircraftPitch, 0.5));
    f.Add(VectorRecord(MessageAircraftPitch, 7, 7, 7));        // a vector where a double belongs
    f.Add(DoubleRecord(MessageAircraftAngularVelocity, 1.0));   // a double where a vector belongs
    auto velocity = DoubleRecord(MessageAircraftVelocity, 1.0);
    velocity[56] = 0x00; velocity[57] = 0x00; velocity[58] = 0x04; // BodyFrame, but typed Double
    f.Add(velocity);
    const auto d = Send(f);
    ASSERT_EQ(d.size(), kK01Size);
    EXPECT_EQ(F32Of(d, "pitch"), 0.5f) << "the earlier pitch stays";
    EXPECT_EQ(F32Of(d, "angular_velocity_x"), 0.0f);
    EXPECT_EQ(F32Of(d, "velocity_x"), 0.0f);
}

TEST_F(Frames, MalformedSizeEndsTheFrameButKeepsEarlierRecords)
{
    Frame f;
    f.Add(DoubleRecord(MessageAircraftPitch, 0.5));
    auto bad = Record(64, MessageAircraftBank.get_id(), kDouble);
    bad[2] = 200; // Size 200: no record is that long
    f.Add(bad).Add(DoubleRecord(MessageAircraftRateOfTurn, 1.0));
    auto d = Send(f);
    EXPECT_EQ(F32Of(d, "pitch"), 0.5f);
    EXPECT_EQ(F32Of(d, "rate_of_turn"), 0.0f) << "nothing after the bad record is read";

    Frame bad_first;
    bad.assign(64, 0);
    bad_first.Add(bad); // Size 0
    const std::uint32_t counter = state.CopyOut().counter;
    EXPECT_TRUE(Send(bad_first).empty());
    EXPECT_EQ(state.CopyOut().counter, counter);
}

TEST(AdjustBank, SubtractsSixOnceAboveThree)
{
    EXPECT_EQ(AdjustBank(3.0), 3.0);
    EXPECT_EQ(static_cast<float>(AdjustBank(3.1)), -2.9f);
    EXPECT_EQ(AdjustBank(-3.1), -3.1);
    EXPECT_EQ(AdjustBank(6.5), 0.5);
    EXPECT_EQ(AdjustBank(12.5), 6.5);
    EXPECT_TRUE(std::isnan(AdjustBank(std::numeric_limits<double>::quiet_NaN())));
}
