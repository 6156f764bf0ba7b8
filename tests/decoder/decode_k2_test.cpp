// kinemora_decode_k2: the unaligned time field at 3 and twelve floats from 7,
// each triple in the order Z, X, Y.
#include "byte_helpers.h"
#include "example_datagrams.h"

#include <kinemora/motion_datagram.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> Example()
{
    return std::vector<unsigned char>(kExampleK2, kExampleK2 + sizeof kExampleK2);
}

kinemora_k2 Sentinel()
{
    kinemora_k2 out;
    std::memset(&out, 0xab, sizeof out);
    return out;
}

std::vector<float> Fields(const kinemora_k2& d)
{
    return {d.velocity_body_z, d.velocity_body_x, d.velocity_body_y,
            d.acceleration_body_z, d.acceleration_body_x, d.acceleration_body_y,
            d.bank, d.pitch, d.heading,
            d.rotation_velocity_body_z, d.rotation_velocity_body_x, d.rotation_velocity_body_y};
}

TEST(DecodeK2, WorkedExample)
{
    kinemora_k2 d = Sentinel();
    ASSERT_EQ(kinemora_decode_k2(kExampleK2, sizeof kExampleK2, &d), 1);
    EXPECT_EQ(d.time_us, 2500000u);
    EXPECT_EQ(d.velocity_body_z, 60.0f);
    EXPECT_EQ(d.velocity_body_x, -0.5f);
    EXPECT_EQ(d.velocity_body_y, 1.25f);
    EXPECT_EQ(d.acceleration_body_z, 0.75f);
    EXPECT_EQ(d.acceleration_body_x, -0.25f);
    EXPECT_EQ(d.acceleration_body_y, 0.125f);
    EXPECT_EQ(Bits(d.bank), 0x3e32b8c2u);    // 10 degrees in radians
    EXPECT_EQ(Bits(d.pitch), 0xbdb2b8c2u);   // -5 degrees
    EXPECT_EQ(Bits(d.heading), 0x4096cbe4u); // 270 degrees
    EXPECT_EQ(d.bank, 0.174532925f);
    EXPECT_EQ(d.heading, 4.71238898f);
    EXPECT_EQ(d.rotation_velocity_body_z, 0.05f);
    EXPECT_EQ(d.rotation_velocity_body_x, -0.01f);
    EXPECT_EQ(d.rotation_velocity_body_y, 0.02f);
}

TEST(DecodeK2, TimeFieldAtOffsetThree)
{
    std::vector<unsigned char> bytes = Example();
    const std::uint32_t times[] = {0u, 1u, 10000000u, 0x04030201u, 0xffffffffu};
    for (std::uint32_t time : times) {
        PutU32(bytes, 3, time);
        kinemora_k2 d = Sentinel();
        ASSERT_EQ(kinemora_decode_k2(bytes.data(), bytes.size(), &d), 1);
        EXPECT_EQ(d.time_us, time);
        EXPECT_EQ(d.velocity_body_z, 60.0f) << "the time field must not reach into the first float";
    }
}

TEST(DecodeK2, EachFloatFromItsOwnOffset)
{
    // Field i holds the float i + 1, so a swapped or shifted field shows at once.
    std::vector<unsigned char> bytes = Example();
    for (std::uint32_t i = 0; i < 12; ++i) {
        const float value = static_cast<float>(i + 1);
        PutU32(bytes, 7 + 4 * i, Bits(value));
    }
    kinemora_k2 d = Sentinel();
    ASSERT_EQ(kinemora_decode_k2(bytes.data(), bytes.size(), &d), 1);
    const std::vector<float> fields = Fields(d);
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(fields[i], static_cast<float>(i + 1)) << "field " << i << " at offset " << 7 + 4 * i;
}

TEST(DecodeK2, SpecialFloatsArriveBitExactInEveryField)
{
    for (std::uint32_t pattern : kSpecialFloatBits) {
        for (std::size_t field = 0; field < 12; ++field) {
            std::vector<unsigned char> bytes = Example();
            PutU32(bytes, 7 + 4 * field, pattern);
            kinemora_k2 d = Sentinel();
            ASSERT_EQ(kinemora_decode_k2(bytes.data(), bytes.size(), &d), 1);
            EXPECT_EQ(Bits(Fields(d)[field]), pattern) << "field " << field;
            EXPECT_EQ(d.time_us, 2500000u);
        }
    }
}

TEST(DecodeK2, UnalignedStart)
{
    std::vector<unsigned char> buffer(sizeof kExampleK2 + 3, 0xee);
    for (std::size_t shift = 1; shift <= 3; ++shift) {
        std::memcpy(buffer.data() + shift, kExampleK2, sizeof kExampleK2);
        kinemora_k2 aligned = Sentinel();
        kinemora_k2 shifted = Sentinel();
        ASSERT_EQ(kinemora_decode_k2(kExampleK2, sizeof kExampleK2, &aligned), 1);
        ASSERT_EQ(kinemora_decode_k2(buffer.data() + shift, sizeof kExampleK2, &shifted), 1);
        EXPECT_EQ(std::memcmp(&aligned, &shifted, sizeof aligned), 0) << "shift " << shift;
    }
}

TEST(DecodeK2, RefusesAnythingElseAndLeavesOutputAlone)
{
    const kinemora_k2 untouched = Sentinel();
    std::vector<unsigned char> short_one = Example();
    short_one.pop_back();
    std::vector<unsigned char> long_one = Example();
    long_one.push_back(0);
    std::vector<unsigned char> wrong_lead_in = Example();
    wrong_lead_in[2] = ';';

    const std::vector<unsigned char> inputs[] = {
        short_one, long_one, wrong_lead_in,
        std::vector<unsigned char>(kExampleK01, kExampleK01 + sizeof kExampleK01),
    };
    for (const std::vector<unsigned char>& input : inputs) {
        kinemora_k2 d = Sentinel();
        EXPECT_EQ(kinemora_decode_k2(input.data(), input.size(), &d), 0) << "length " << input.size();
        EXPECT_EQ(std::memcmp(&d, &untouched, sizeof d), 0) << "length " << input.size();
    }
    kinemora_k2 d = Sentinel();
    EXPECT_EQ(kinemora_decode_k2(nullptr, 55, &d), 0);
    EXPECT_EQ(std::memcmp(&d, &untouched, sizeof d), 0);
    EXPECT_EQ(kinemora_decode_k2(kExampleK2, sizeof kExampleK2, nullptr), 0);
}

} // namespace
