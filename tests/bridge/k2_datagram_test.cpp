// The bridge's K2 encoder alone: the bytes of WriteMotionDatagram.
#include "k2_datagram.h"

#include "little_endian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const MotionDatagram& datagram)
{
    return std::vector<unsigned char>(datagram.bytes, datagram.bytes + kK2Size);
}

// The four little-endian bytes of the float at a value's position.
std::uint32_t FloatBitsAt(const MotionDatagram& datagram, std::size_t index)
{
    return LoadU32(datagram.bytes + kK2Fields[index].offset);
}

TEST(K2MotionDatagram, LaysOutLeadInTimeAndTwelveFloatsLittleEndian)
{
    const double values[kMotionValueCount] = {1.0, -2.0, 0.5, 3.0, -0.25, 100.0,
                                              0.1, -1.5, 6.0, 0.0, 1024.0, -8.0};
    MotionDatagram datagram;
    WriteMotionDatagram(0x0A0B0C0Du, values, datagram);

    const std::vector<unsigned char> expected = {
        'K', '2', ',',                  // 0: lead-in, no NUL
        0x0D, 0x0C, 0x0B, 0x0A,         // 3: time field
        0x00, 0x00, 0x80, 0x3F,         // 7: VELOCITY BODY Z 1.0
        0x00, 0x00, 0x00, 0xC0,         // 11: VELOCITY BODY X -2.0
        0x00, 0x00, 0x00, 0x3F,         // 15: VELOCITY BODY Y 0.5
        0x00, 0x00, 0x40, 0x40,         // 19: ACCELERATION BODY Z 3.0
        0x00, 0x00, 0x80, 0xBE,         // 23: ACCELERATION BODY X -0.25
        0x00, 0x00, 0xC8, 0x42,         // 27: ACCELERATION BODY Y 100.0
        0xCD, 0xCC, 0xCC, 0x3D,         // 31: bank 0.1 rounded to single
        0x00, 0x00, 0xC0, 0xBF,         // 35: pitch -1.5
        0x00, 0x00, 0xC0, 0x40,         // 39: heading 6.0
        0x00, 0x00, 0x00, 0x00,         // 43: ROTATION VELOCITY BODY Z 0.0
        0x00, 0x00, 0x80, 0x44,         // 47: ROTATION VELOCITY BODY X 1024.0
        0x00, 0x00, 0x00, 0xC1,         // 51: ROTATION VELOCITY BODY Y -8.0
    };
    EXPECT_EQ(Bytes(datagram), expected);
}

TEST(K2MotionDatagram, TimeFieldCoversTheWholeUnsignedRange)
{
    const double values[kMotionValueCount] = {};
    MotionDatagram datagram;
    WriteMotionDatagram(10000000u, values, datagram);
    EXPECT_EQ(datagram.bytes[kK2TimeOffset], 0x80);
    EXPECT_EQ(datagram.bytes[kK2TimeOffset + 1], 0x96);
    EXPECT_EQ(datagram.bytes[kK2TimeOffset + 2], 0x98);
    EXPECT_EQ(datagram.bytes[kK2TimeOffset + 3], 0x00);

    WriteMotionDatagram(0xFFFFFFFFu, values, datagram);
    EXPECT_EQ(datagram.bytes[kK2TimeOffset], 0xFF);
    EXPECT_EQ(datagram.bytes[kK2TimeOffset + 3], 0xFF);
    EXPECT_EQ(datagram.bytes[kK2Fields[0].offset], 0x00); // the first float is untouched by the time field
}

TEST(K2MotionDatagram, NarrowsToNearestSingleTiesToEvenWithInfinitiesAndNaNs)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[kMotionValueCount] = {
        1e39,                     // beyond the single range: +infinity
        -1e39,                    // -infinity
        nan,                      // stays a quiet NaN
        -nan,                     // and keeps its sign
        std::ldexp(1.0, 128) - std::ldexp(3.0, 102), // above the largest single, but nearer to it
        1.0 + std::ldexp(1.0, -24), // halfway between 1 and the next single: ties to even, down
        1.0 + 3 * std::ldexp(1.0, -24), // halfway again: ties to even, up
        std::ldexp(1.0, -149),    // the smallest subnormal single
        std::ldexp(1.0, -150),    // halfway to it from zero: ties to even, zero
        -0.0,                     // keeps the sign of zero
        std::ldexp(1.0, 128) - std::ldexp(1.0, 103), // halfway past the largest single: ties to even, infinity
        -std::numeric_limits<double>::infinity(),
    };
    MotionDatagram datagram;
    WriteMotionDatagram(0, values, datagram);

    const std::uint32_t expected[kMotionValueCount] = {
        0x7F800000u, 0xFF800000u, 0x7FC00000u, 0xFFC00000u, 0x7F7FFFFFu, 0x3F800000u,
        0x3F800002u, 0x00000001u, 0x00000000u, 0x80000000u, 0x7F800000u, 0xFF800000u,
    };
    for (std::size_t i = 0; i < kMotionValueCount; ++i)
        EXPECT_EQ(FloatBitsAt(datagram, i), expected[i]) << kK2Fields[i].name;
}

TEST(K2MotionDatagram, OverwritesEveryByteOfAReusedBuffer)
{
    MotionDatagram datagram;
    for (unsigned char& b : datagram.bytes)
        b = 0xEE;
    const double values[kMotionValueCount] = {};
    WriteMotionDatagram(0, values, datagram);
    std::vector<unsigned char> expected(kK2Size, 0x00);
    expected[0] = 'K';
    expected[1] = '2';
    expected[2] = ',';
    EXPECT_EQ(Bytes(datagram), expected);
}

} // namespace
