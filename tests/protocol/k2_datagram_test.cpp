// The K2 encoder alone: the bytes of EncodeK2.
#include "k2_datagram.h"

#include "little_endian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const std::uint8_t (&datagram)[kK2Size])
{
    return std::vector<unsigned char>(datagram, datagram + kK2Size);
}

TEST(K2MotionDatagram, LaysOutLeadInTimeAndTwelveFloatsLittleEndian)
{
    const double values[kK2FieldCount] = {1.0, -2.0, 0.5, 3.0, -0.25, 100.0,
                                              0.1, -1.5, 6.0, 0.0, 1024.0, -8.0};
    std::uint8_t datagram[kK2Size];
    EncodeK2(0x0A0B0C0Du, values, datagram);

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
    const double values[kK2FieldCount] = {};
    std::uint8_t datagram[kK2Size];
    EncodeK2(10000000u, values, datagram);
    EXPECT_EQ(datagram[kK2TimeOffset], 0x80);
    EXPECT_EQ(datagram[kK2TimeOffset + 1], 0x96);
    EXPECT_EQ(datagram[kK2TimeOffset + 2], 0x98);
    EXPECT_EQ(datagram[kK2TimeOffset + 3], 0x00);

    EncodeK2(0xFFFFFFFFu, values, datagram);
    EXPECT_EQ(datagram[kK2TimeOffset], 0xFF);
    EXPECT_EQ(datagram[kK2TimeOffset + 3], 0xFF);
    EXPECT_EQ(datagram[kK2Fields[0].offset], 0x00); // the first float is untouched by the time field
}

TEST(K2MotionDatagram, OverwritesEveryByteOfAReusedBuffer)
{
    std::uint8_t datagram[kK2Size];
    for (std::uint8_t& b : datagram)
        b = 0xEE;
    const double values[kK2FieldCount] = {};
    EncodeK2(0, values, datagram);
    std::vector<unsigned char> expected(kK2Size, 0x00);
    expected[0] = 'K';
    expected[1] = '2';
    expected[2] = ',';
    EXPECT_EQ(Bytes(datagram), expected);
}

} // namespace
