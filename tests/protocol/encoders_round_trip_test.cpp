// The receivers' decoder against the encoders of both deliverables: what the
// plug-in and the bridge write is what a controller reads back.
#include <kinemora/motion_datagram.h>

#include "k01_datagram.h"
#include "k2_datagram.h"

#include <gtest/gtest.h>


TEST(EncodersRoundTrip, PluginK01DecodesToTheNarrowedValues)
{
    MotionFrame frame;
    frame.time = 12.345678;
    frame.aircraft_velocity_body = {51.2, -1.5, 7.25};
    frame.bank = -0.5;
    frame.pitch = 0.1;
    frame.rate_of_turn = 0.75;
    frame.aircraft_angularvelocity = {0.01, -0.02, 1.0 / 3.0};
    std::uint8_t msg[kK01Size];
    EncodeK01(frame, msg);

    kinemora_k01 d;
    ASSERT_EQ(kinemora_classify(msg, sizeof(msg)), KINEMORA_K01);
    ASSERT_TRUE(kinemora_decode_k01(msg, sizeof(msg), &d));
    EXPECT_EQ(d.time_us, 12345678u);
    EXPECT_EQ(d.velocity_x, 51.2f);
    EXPECT_EQ(d.velocity_y, -1.5f);
    EXPECT_EQ(d.velocity_z, 7.25f);
    EXPECT_EQ(d.bank, -0.5f);
    EXPECT_EQ(d.pitch, 0.1f);
    EXPECT_EQ(d.rate_of_turn, 0.75f);
    EXPECT_EQ(d.angular_velocity_x, 0.01f);
    EXPECT_EQ(d.angular_velocity_y, -0.02f);
    EXPECT_EQ(d.angular_velocity_z, static_cast<float>(1.0 / 3.0));
}

TEST(EncodersRoundTrip, BridgeK2DecodesInDefinitionOrder)
{
    double values[kK2FieldCount];
    for (std::size_t i = 0; i < kK2FieldCount; ++i)
        values[i] = 0.5 + static_cast<double>(i) * 1.25;
    std::uint8_t datagram[kK2Size];
    EncodeK2(10000000u, values, datagram);

    kinemora_k2 d;
    ASSERT_EQ(kinemora_classify(datagram, kK2Size), KINEMORA_K2);
    ASSERT_TRUE(kinemora_decode_k2(datagram, kK2Size, &d));
    EXPECT_EQ(d.time_us, 10000000u);
    const float decoded[kK2FieldCount] = {
        d.velocity_body_z, d.velocity_body_x, d.velocity_body_y,
        d.acceleration_body_z, d.acceleration_body_x, d.acceleration_body_y,
        d.bank, d.pitch, d.heading,
        d.rotation_velocity_body_z, d.rotation_velocity_body_x, d.rotation_velocity_body_y};
    for (std::size_t i = 0; i < kK2FieldCount; ++i)
        EXPECT_EQ(decoded[i], static_cast<float>(values[i])) << "value " << i;
}
