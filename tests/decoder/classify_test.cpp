// kinemora_classify: a datagram is K01 or K2 only when both its length and its
// lead-in match; everything else on the port is unrecognised.
#include "example_datagrams.h"

#include <kinemora/motion_datagram.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const char* lead_in, std::size_t length)
{
    std::vector<unsigned char> bytes(length, 0);
    std::copy_n(lead_in, std::min(std::strlen(lead_in), length), bytes.begin());
    return bytes;
}

TEST(Classify, PublishedConstants)
{
    EXPECT_EQ(KINEMORA_PORT, 50010);
    EXPECT_EQ(KINEMORA_K01_SIZE, 44);
    EXPECT_EQ(KINEMORA_K2_SIZE, 55);
}

TEST(Classify, RecognisesBothKindsByLengthAndLeadIn)
{
    EXPECT_EQ(kinemora_classify(kExampleK01, sizeof kExampleK01), KINEMORA_K01);
    EXPECT_EQ(kinemora_classify(kExampleK2, sizeof kExampleK2), KINEMORA_K2);
    // The payload after the lead-in plays no part.
    EXPECT_EQ(kinemora_classify(Bytes("K01,", 44).data(), 44), KINEMORA_K01);
    EXPECT_EQ(kinemora_classify(Bytes("K2,", 55).data(), 55), KINEMORA_K2);
    std::vector<unsigned char> k2 = Bytes("K2,", 55);
    std::memset(k2.data() + 3, 0xff, 52);
    EXPECT_EQ(kinemora_classify(k2.data(), k2.size()), KINEMORA_K2);
}

TEST(Classify, RejectsEveryOtherLength)
{
    // Each buffer is exactly as long as the length passed, so the sanitizer
    // build catches any read past it.
    for (std::size_t length : {0u, 1u, 3u, 4u, 43u, 45u, 54u, 56u, 88u, 1500u}) {
        const std::vector<unsigned char> k01 = Bytes("K01,", length);
        const std::vector<unsigned char> k2 = Bytes("K2,", length);
        EXPECT_EQ(kinemora_classify(k01.data(), length), KINEMORA_UNRECOGNISED) << "K01, length " << length;
        EXPECT_EQ(kinemora_classify(k2.data(), length), KINEMORA_UNRECOGNISED) << "K2, length " << length;
    }
    // Each lead-in with the other kind's length.
    EXPECT_EQ(kinemora_classify(Bytes("K01,", 55).data(), 55), KINEMORA_UNRECOGNISED);
    EXPECT_EQ(kinemora_classify(Bytes("K2,", 44).data(), 44), KINEMORA_UNRECOGNISED);
}

TEST(Classify, RejectsNearMissLeadIns)
{
    for (const char* lead_in : {"K01;", "k01,", "K02,", "K10,", "K01 ", " K01", "KO1,"}) {
        EXPECT_EQ(kinemora_classify(Bytes(lead_in, 44).data(), 44), KINEMORA_UNRECOGNISED) << lead_in;
    }
    for (const char* lead_in : {"K2;", "k2,", "K3,", "K2.", "K20", " K2,"}) {
        EXPECT_EQ(kinemora_classify(Bytes(lead_in, 55).data(), 55), KINEMORA_UNRECOGNISED) << lead_in;
    }
    // A single changed byte anywhere in the lead-in is enough.
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned char k01[44];
        std::memcpy(k01, kExampleK01, sizeof k01);
        k01[i] ^= 0x01;
        EXPECT_EQ(kinemora_classify(k01, sizeof k01), KINEMORA_UNRECOGNISED) << "byte " << i;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        unsigned char k2[55];
        std::memcpy(k2, kExampleK2, sizeof k2);
        k2[i] ^= 0x80;
        EXPECT_EQ(kinemora_classify(k2, sizeof k2), KINEMORA_UNRECOGNISED) << "byte " << i;
    }
}

TEST(Classify, NullDataIsUnrecognised)
{
    EXPECT_EQ(kinemora_classify(nullptr, 0), KINEMORA_UNRECOGNISED);
    EXPECT_EQ(kinemora_classify(nullptr, 44), KINEMORA_UNRECOGNISED);
    EXPECT_EQ(kinemora_classify(nullptr, 55), KINEMORA_UNRECOGNISED);
}

} // namespace
