#include "datagram_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void PutFloat(std::vector<unsigned char>& bytes, std::size_t offset, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>(bits >> (8 * i));
}

std::vector<unsigned char> KnownK01()
{
    std::vector<unsigned char> d(44, 0);
    std::memcpy(d.data(), "K01,", 4);
    d[4] = 0x60; d[5] = 0xE3; d[6] = 0x16; d[7] = 0x00; // 1,500,000 us
    const float values[9] = {51.2f, 0.0f, -1.5f, 0.5f, -0.25f, 0.125f, 1.0f, -2.0f, 3.0f};
    for (int i = 0; i < 9; ++i)
        PutFloat(d, 8 + 4 * i, values[i]);
    return d;
}

std::vector<unsigned char> KnownK2()
{
    std::vector<unsigned char> d(55, 0);
    std::memcpy(d.data(), "K2,", 3);
    d[3] = 0x80; d[4] = 0x96; d[5] = 0x98; d[6] = 0x00; // 10,000,000 us
    for (int i = 0; i < 12; ++i)
        PutFloat(d, 7 + 4 * i, static_cast<float>(i + 1) * 0.5f);
    return d;
}

} // namespace

TEST(DescribeDatagram, NamesEveryK01Field)
{
    const auto d = KnownK01();
    EXPECT_EQ(DescribeDatagram(d.data(), d.size()),
              "K01 time_us=1500000 velocity_x=51.2000008 velocity_y=0 velocity_z=-1.5 bank=0.5 "
              "pitch=-0.25 rate_of_turn=0.125 angular_velocity_x=1 angular_velocity_y=-2 angular_velocity_z=3");
}

TEST(DescribeDatagram, NamesEveryK2FieldInZXYOrder)
{
    const auto d = KnownK2();
    EXPECT_EQ(DescribeDatagram(d.data(), d.size()),
              "K2 time_us=10000000 velocity_body_z=0.5 velocity_body_x=1 velocity_body_y=1.5 "
              "acceleration_body_z=2 acceleration_body_x=2.5 acceleration_body_y=3 bank=3.5 pitch=4 "
              "heading=4.5 rotation_velocity_body_z=5 rotation_velocity_body_x=5.5 rotation_velocity_body_y=6");
}

TEST(DescribeDatagram, NanAndInfinityArePrintedNotHidden)
{
    auto d = KnownK01();
    PutFloat(d, 20, std::numeric_limits<float>::quiet_NaN());
    PutFloat(d, 24, -std::numeric_limits<float>::infinity());
    const std::string line = DescribeDatagram(d.data(), d.size());
    EXPECT_NE(line.find(" bank=nan "), std::string::npos) << line;
    EXPECT_NE(line.find(" pitch=-inf "), std::string::npos) << line;
}

TEST(DescribeDatagram, WrongLengthOrLeadInIsUnrecognised)
{
    auto k01 = KnownK01();
    EXPECT_EQ(DescribeDatagram(k01.data(), 43),
              "unrecognised length=43 bytes=4b30312c60e31600cdcc4c4200000000... (a truncated K01?)");
    k01.push_back(0);
    EXPECT_EQ(DescribeDatagram(k01.data(), 45).substr(0, 22), "unrecognised length=45");
    EXPECT_NE(DescribeDatagram(k01.data(), 45).find("(an oversized K01?)"), std::string::npos);

    auto k2 = KnownK2();
    k2[1] = '3';
    EXPECT_EQ(DescribeDatagram(k2.data(), k2.size()).substr(0, 22), "unrecognised length=55");
    EXPECT_EQ(DescribeDatagram(k2.data(), 3), "unrecognised length=3 bytes=4b332c");
}

TEST(DescribeDatagram, EmptyDatagramReadsNothing)
{
    EXPECT_EQ(DescribeDatagram(nullptr, 0), "unrecognised length=0 bytes=");
    const unsigned char k = 'K';
    EXPECT_EQ(DescribeDatagram(&k, 1), "unrecognised length=1 bytes=4b");
}

TEST(HexBytes, CutsAtTheLimit)
{
    const unsigned char bytes[] = {0x00, 0x0f, 0xf0, 0xff};
    EXPECT_EQ(HexBytes(bytes, 4, 4), "000ff0ff");
    EXPECT_EQ(HexBytes(bytes, 4, 2), "000f...");
    EXPECT_EQ(HexBytes(bytes, 0, 2), "");
}

TEST(Csv, OneTableForBothKinds)
{
    const std::string header = CsvHeader();
    EXPECT_EQ(header.substr(0, 63), "arrival_s,source,kind,length,time_us,k01_velocity_x,k01_velocit");
    const std::size_t columns = static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')) + 1;
    EXPECT_EQ(columns, 5u + 9u + 12u);

    const auto k01 = KnownK01();
    const std::string row = CsvRow(1.25, "192.0.2.10:4000", k01.data(), k01.size());
    EXPECT_EQ(row, "1.250000,192.0.2.10:4000,K01,44,1500000,51.2000008,0,-1.5,0.5,-0.25,0.125,1,-2,3,,,,,,,,,,,,");

    const auto k2 = KnownK2();
    const std::string row2 = CsvRow(2.0, "a:1", k2.data(), k2.size());
    EXPECT_EQ(row2, "2.000000,a:1,K2,55,10000000,,,,,,,,,,0.5,1,1.5,2,2.5,3,3.5,4,4.5,5,5.5,6");

    const unsigned char junk[] = {1, 2, 3};
    const std::string row3 = CsvRow(3.0, "a:1", junk, 3);
    EXPECT_EQ(static_cast<std::size_t>(std::count(row3.begin(), row3.end(), ',')) + 1, columns);
    EXPECT_EQ(row3.substr(0, 29), "3.000000,a:1,unrecognised,3,,");
}
