// The plug-in's K01 encoder alone: the time field and the bytes of EncodeK01.
#include "k01_datagram.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

std::vector<std::uint8_t> Encoded(const MotionFrame& frame)
{
    std::uint8_t msg[kK01Size];
    EncodeK01(frame, msg);
    return std::vector<std::uint8_t>(msg, msg + kK01Size);
}

} // namespace

TEST(K01TimeField, MicrosecondsModuloTwoToThe25)
{
    EXPECT_EQ(K01TimeField(1.5), 1500000u);
    EXPECT_EQ(K01TimeField(40.0), 6445568u);
    EXPECT_EQ(K01TimeField(33.554432), 0u);
    EXPECT_EQ(K01TimeField(1.001), 1000999u) << "truncated, not rounded";
    EXPECT_EQ(K01TimeField(-0.000001), 33554431u);
    EXPECT_EQ(K01TimeField(0.0), 0u);
    EXPECT_EQ(K01TimeField(-0.0), 0u);
}

TEST(K01TimeField, UnrepresentableProductsGiveZero)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(K01TimeField(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(K01TimeField(inf), 0u);
    EXPECT_EQ(K01TimeField(-inf), 0u);
    EXPECT_EQ(K01TimeField(18446744073709551616.0 / 1e6), 0u);  // 2^64 us
    EXPECT_EQ(K01TimeField(-9223372036854777856.0 / 1e6), 0u);  // just below -2^63 us
    // Between 2^63 and 2^64 the product is taken as unsigned: 10^19 mod 2^25.
    EXPECT_EQ(K01TimeField(1e13), static_cast<std::uint32_t>(10000000000000000000ull & 0x1FFFFFF));
    // Exactly -2^63 is still representable: its low 25 bits are 0.
    EXPECT_EQ(K01TimeField(-9223372036854775808.0 / 1e6), 0u);
}

// The worked example of docs/protocol.md, set through K01Value as
// kinemora-signal sets its one field.
TEST(EncodeK01, TheWorkedExampleByteForByte)
{
    MotionFrame frame;
    frame.time = 40.0;
    const double values[kK01FieldCount] = {51.2, -0.75, 1.5, 0.5, -0.125, 0.0625, 0.25, -0.03125, 0.015625};
    for (std::size_t i = 0; i < kK01FieldCount; ++i)
        K01Value(frame, i) = values[i];
    const std::vector<std::uint8_t> expected = {
        0x4b, 0x30, 0x31, 0x2c, 0x00, 0x5a, 0x62, 0x00, 0xcd, 0xcc, 0x4c, 0x42, 0x00, 0x00, 0x40, 0xbf,
        0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0x00, 0x3f, 0x00, 0x00, 0x00, 0xbe, 0x00, 0x00, 0x80, 0x3d,
        0x00, 0x00, 0x80, 0x3e, 0x00, 0x00, 0x00, 0xbd, 0x00, 0x00, 0x80, 0x3c,
    };
    EXPECT_EQ(Encoded(frame), expected);
    EXPECT_EQ(frame.bank, 0.5);
    EXPECT_EQ(frame.aircraft_velocity_body.z, 1.5);
}
