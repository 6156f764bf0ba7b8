// The record's layout and defaults, the identifier hash, the message
// constants, the flag test and the typed accessors.

#include "record_bytes.h"
#include "tm_external_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using record_bytes::Put;

// Every header field and the payload of a record, written back as stream bytes.
std::vector<std::uint8_t> Encode(const tm_external_message& m)
{
    const auto& h = m.Header;
    std::vector<std::uint8_t> b(128, 0xEE);
    Put(b, 0, h.Marker, 2);
    Put(b, 2, h.Size, 2);
    Put(b, 4, h.Dword4, 4);
    Put(b, 8, h.Qword8, 8);
    Put(b, 16, h.ID, 8);
    b[24] = h.Byte24;
    b[25] = static_cast<std::uint8_t>(h.DataType);
    b[26] = h.Byte26;
    b[27] = h.Byte27;
    Put(b, 28, h.Dword28, 4);
    Put(b, 32, h.Qword32, 8);
    Put(b, 40, h.Qword40, 8);
    Put(b, 48, h.Qword48, 8);
    Put(b, 56, h.Flags, 8);
    std::memcpy(b.data() + 64, m.payload(), 64);
    return b;
}

} // namespace

// The six identifiers the plug-in recognises are checked where they are defined,
// at compile time; these cases pin what they cannot.
TEST(MessageNameHash, TheTerminatingNulIsHashedToo)
{
    // 0xF1D0E20D69B25883 is the plain FNV-1a of the 14 characters alone.
    EXPECT_NE(tm_msg_name_hash("Aircraft.Pitch"), 0xF1D0E20D69B25883ull);
    // The empty name is one NUL byte: the offset basis times the prime.
    EXPECT_EQ(tm_msg_name_hash(""), 0xCBF29CE484222325ull * 0x100000001B3ull);
}

TEST(MessageNameHash, BytesAboveAsciiAreSignExtended)
{
    // 0xE9 enters as 0xFFFFFFFFFFFFFFE9; unsigned it would give 0x0A6A1207B6CD9FAC.
    EXPECT_EQ(tm_msg_name_hash("\xE9"), 0xF79A7DF84AE940ACull);
}

TEST(MessageRecord, DefaultRecordBytes)
{
    std::vector<std::uint8_t> expected(128, 0);
    expected[0] = 0xAA; // Marker 0xAAAA
    expected[1] = 0xAA;
    expected[2] = 64; // Size
    expected[26] = 1; // Byte26
    const tm_external_message m;
    EXPECT_EQ(Encode(m), expected);
    EXPECT_EQ(m.Header.DataType, tm_msg_data_type::None);
    EXPECT_EQ(m.get_flags().bits(), 0u);
}

TEST(MessageRecord, ConstantsAreHeaderOnlyRecordsWithTheirIdTypeAndFlags)
{
    struct Expected {
        const tm_external_message& constant;
        std::uint64_t id;
        tm_msg_data_type type;
        std::uint64_t flags;
    };
    const Expected table[] = {
        {MessageAircraftPitch, 0x98489FCA9A0C6699ull, tm_msg_data_type::Double, 0x02000040},
        {MessageAircraftBank, 0xDCCDBCE630A0100Full, tm_msg_data_type::Double, 0x02000040},
        {MessageAircraftVelocity, 0x977C869390C770A0ull, tm_msg_data_type::Vector3d, 0x02000040},
        {MessageAircraftAngularVelocity, 0xC333841907D74F04ull, tm_msg_data_type::Vector3d, 0x02000040},
        {MessageAircraftRateOfTurn, 0xCE9B17408EF4C81Dull, tm_msg_data_type::Double, 0x02000040},
        {MessageSimulationTime, 0x9CA7FB58F287A1F3ull, tm_msg_data_type::Double, 0x06000040},
    };
    for (const Expected& e : table) {
        std::vector<std::uint8_t> bytes(128, 0);
        bytes[0] = 0xAA;
        bytes[1] = 0xAA;
        bytes[2] = 64;
        Put(bytes, 16, e.id, 8);
        bytes[25] = static_cast<std::uint8_t>(e.type);
        bytes[26] = 1;
        Put(bytes, 56, e.flags, 8);
        EXPECT_EQ(Encode(e.constant), bytes) << std::hex << e.id;
        EXPECT_EQ(e.constant.get_id(), e.id);
    }
}

TEST(MessageFlags, HasFlagsNeedsEveryBitOfTheMask)
{
    const MessageFlags motion(0x02000040u);
    EXPECT_FALSE(motion.has_flags(BodyFrame));
    EXPECT_TRUE(MessageFlags(0x00040000u).has_flags(BodyFrame));
    EXPECT_TRUE(MessageFlags(0x02040040u).has_flags(BodyFrame));
    EXPECT_TRUE(MessageFlags::from_bits(0xFFFFFFFFFFFFFFFFull).has_flags(BodyFrame));
    EXPECT_FALSE(MessageFlags(0x00040000u).has_flags(MessageFlags(0x00040040u)));

    for (std::uint64_t bits : {0x0ull, 0x02000040ull, 0x40000ull, 0x8000000000000000ull})
        EXPECT_TRUE(MessageFlags::from_bits(bits).has_flags(MessageFlags())) << bits;
}

TEST(MessageFlags, ThirtyTwoBitValuesAreZeroExtended)
{
    EXPECT_EQ(MessageFlags(0xFFFFFFFFu).bits(), 0x00000000FFFFFFFFull);
}

TEST(MessageRecord, TypedAccessorsReadLittleEndianBinary64)
{
    std::vector<std::uint8_t> stream = record_bytes::Record(88, 1, 4);
    // x = 1.5, y = -2.0, z = 1e300, written out byte by byte.
    const std::uint8_t values[24] = {
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0,
        0x9C, 0x75, 0x00, 0x88, 0x3C, 0xE4, 0x37, 0x7E,
    };
    std::memcpy(stream.data() + 64, values, 24);
    std::uint32_t position = 0;
    const tm_external_message v = decode_message(stream.data(), position);
    const Vector3d xyz = v.get_vector3d();
    EXPECT_EQ(xyz.x, 1.5);
    EXPECT_EQ(xyz.y, -2.0);
    EXPECT_EQ(xyz.z, 1e300);

    stream = record_bytes::Record(72, 2, 2);
    std::memcpy(stream.data() + 64, values + 8, 8);
    position = 0;
    EXPECT_EQ(decode_message(stream.data(), position).get_double(), -2.0);
}

TEST(MessageRecord, MissingPayloadBytesReadAsZero)
{
    // A Vector3d record that carries only x: y and z come from the zeroed payload.
    std::vector<std::uint8_t> stream = record_bytes::Record(72, 1, 4);
    record_bytes::PutDouble(stream, 64, 7.25);
    std::uint32_t position = 0;
    const Vector3d v = decode_message(stream.data(), position).get_vector3d();
    EXPECT_EQ(v.x, 7.25);
    EXPECT_EQ(v.y, 0.0);
    EXPECT_EQ(v.z, 0.0);
    EXPECT_FALSE(std::signbit(v.y));
}
