// kinemora_decode_k01: every field from its own offset, bit for bit.
#include "byte_helpers.h"
#include "example_datagrams.h"

#include <kinemora/motion_datagram.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> Example()
{
    return std::vector<unsigned char>(kExampleK01, kExampleK01 + sizeof kExampleK01);
}

// A decoded record filled with a pattern that no decoding produces.
kinemora_k01 Sentinel()
{
    kinemora_k01 out;
    std::memset(&out, 0xab, sizeof out);
    return out;
}

TEST(DecodeK01, WorkedExample)
{
    kinemora_k01 d = Sentinel();
    ASSERT_EQ(kinemora_decode_k01(kExampleK01, sizeof kExampleK01, &d), 1);
    EXPECT_EQ(d.time_us, 6445568u);
    EXPECT_EQ(d.velocity_x, 51.2f);
    EXPECT_EQ(Bits(d.velocity_x), 0x424ccccdu);
    EXPECT_EQ(d.velocity_y, -0.75f);
    EXPECT_EQ(d.velocity_z, 1.5f);
    EXPECT_EQ(d.bank, 0.5f);
    EXPECT_EQ(d.pitch, -0.125f);
    EXPECT_EQ(d.rate_of_turn, 0.0625f);
    EXPECT_EQ(d.angular_velocity_x, 0.25f);
    EXPECT_EQ(d.angular_velocity_y, -0.03125f);
    EXPECT_EQ(d.angular_velocity_z, 0.015625f);
}

TEST(DecodeK01, TimeFieldIsLittleEndianAndUnmasked)
{
    std::vector<unsigned char> bytes = Example();
    const std::uint32_t times[] = {0u, 1u, 0x04030201u, 0x01ffffffu, 0x02000000u, 0xffffffffu};
    for (std::uint32_t time : times) {
        PutU32(bytes, 4, time);
        kinemora_k01 d = Sentinel();
        ASSERT_EQ(kinemora_decode_k01(bytes.data(), bytes.size(), &d), 1);
        EXPECT_EQ(d.time_us, time);
    }
    bytes[4] = 0x01;
    bytes[5] = 0x02;
    bytes[6] = 0x03;
    bytes[7] = 0x04;
    kinemora_k01 d = Sentinel();
    ASSERT_EQ(kinemora_decode_k01(bytes.data(), bytes.size(), &d), 1);
    EXPECT_EQ(d.time_us, 0x04030201u);
}

TEST(DecodeK01, SpecialFloatsArriveBitExactInEveryField)
{
    for (std::uint32_t pattern : kSpecialFloatBits) {
        for (std::size_t field = 0; field < 9; ++field) {
            std::vector<unsigned char> bytes = Example();
            PutU32(bytes, 8 + 4 * field, pattern);
            kinemora_k01 d = Sentinel();
            ASSERT_EQ(kinemora_decode_k01(bytes.data(), bytes.size(), &d), 1);
            const float fields[9] = {d.velocity_x, d.velocity_y, d.velocity_z, d.bank, d.pitch,
                                     d.rate_of_turn, d.angular_velocity_x, d.angular_velocity_y,
                                     d.angular_velocity_z};
            EXPECT_EQ(Bits(fields[field]), pattern) << "field " << field;
            // The other fields keep the example's values.
            EXPECT_EQ(d.time_us, 6445568u);
            if (field != 3) {
                EXPECT_EQ(d.bank, 0.5f);
            }
            if (field != 8) {
                EXPECT_EQ(d.angular_velocity_z, 0.015625f);
            }
        }
    }
}

TEST(DecodeK01, UnalignedStart)
{
    std::vector<unsigned char> buffer(sizeof kExampleK01 + 3, 0xee);
    for (std::size_t shift = 1; shift <= 3; ++shift) {
        std::memcpy(buffer.data() + shift, kExampleK01, sizeof kExampleK01);
        kinemora_k01 aligned = Sentinel();
        kinemora_k01 shifted = Sentinel();
        ASSERT_EQ(kinemora_decode_k01(kExampleK01, sizeof kExampleK01, &aligned), 1);
        ASSERT_EQ(kinemora_decode_k01(buffer.data() + shift, sizeof kExampleK01, &shifted), 1);
        EXPECT_EQ(std::memcmp(&aligned, &shifted, sizeof aligned), 0) << "shift " << shift;
    }
}

TEST(DecodeK01, RefusesAnythingElseAndLeavesOutputAlone)
{
    const kinemora_k01 untouched = Sentinel();
    std::vector<unsigned char> short_one = Example();
    short_one.pop_back();
    std::vector<unsigned char> long_one = Example();
    long_one.push_back(0);
    std::vector<unsigned char> wrong_lead_in = Example();
    wrong_lead_in[2] = '2';

    const std::vector<unsigned char> inputs[] = {
        short_one, long_one, wrong_lead_in,
        std::vector<unsigned char>(kExampleK2, kExampleK2 + sizeof kExampleK2),
    };
    for (const std::vector<unsigned char>& input : inputs) {
        kinemora_k01 d = Sentinel();
        EXPECT_EQ(kinemora_decode_k01(input.data(), input.size(), &d), 0) << "length " << input.size();
        EXPECT_EQ(std::memcmp(&d, &untouched, sizeof d), 0) << "length " << input.size();
    }
    kinemora_k01 d = Sentinel();
    EXPECT_EQ(kinemora_decode_k01(nullptr, 44, &d), 0);
    EXPECT_EQ(std::memcmp(&d, &untouched, sizeof d), 0);
    EXPECT_EQ(kinemora_decode_k01(kExampleK01, sizeof kExampleK01, nullptr), 0);
}

} // namespace
