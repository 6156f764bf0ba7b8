// decode_message and decode_frame over exact stream bytes.

#include "record_bytes.h"
#include "tm_external_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using record_bytes::Append;
using record_bytes::Record;

std::vector<std::uint8_t> PayloadOf(const tm_external_message& m)
{
    return std::vector<std::uint8_t>(m.payload(), m.payload() + 64);
}

// The stream in a heap block of exactly its length, so AddressSanitizer reports
// any read past its end.
std::unique_ptr<std::uint8_t[]> ExactCopy(const std::vector<std::uint8_t>& stream)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[stream.size()]);
    std::copy(stream.begin(), stream.end(), copy.get());
    return copy;
}

} // namespace

TEST(DecodeMessage, EveryHeaderFieldAtItsOffsetLittleEndian)
{
    // Byte i holds i, except Size (bytes 2-3) which must say 128.
    std::vector<std::uint8_t> stream(128);
    for (std::size_t i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<std::uint8_t>(i);
    stream[2] = 0x80;
    stream[3] = 0x00;

    std::uint32_t position = 0;
    const tm_external_message m = decode_message(stream.data(), position);
    const auto& h = m.Header;
    EXPECT_EQ(h.Marker, 0x0100);
    EXPECT_EQ(h.Size, 128);
    EXPECT_EQ(h.Dword4, 0x07060504u);
    EXPECT_EQ(h.Qword8, 0x0F0E0D0C0B0A0908ull);
    EXPECT_EQ(h.ID, 0x1716151413121110ull);
    EXPECT_EQ(h.Byte24, 0x18);
    EXPECT_EQ(static_cast<int>(h.DataType), 0x19);
    EXPECT_EQ(h.Byte26, 0x1A);
    EXPECT_EQ(h.Byte27, 0x1B);
    EXPECT_EQ(h.Dword28, 0x1F1E1D1Cu);
    EXPECT_EQ(h.Qword32, 0x2726252423222120ull);
    EXPECT_EQ(h.Qword40, 0x2F2E2D2C2B2A2928ull);
    EXPECT_EQ(h.Qword48, 0x3736353433323130ull);
    EXPECT_EQ(h.Flags, 0x3F3E3D3C3B3A3938ull);
    EXPECT_EQ(m.get_id(), 0x1716151413121110ull);
    EXPECT_EQ(m.get_flags().bits(), 0x3F3E3D3C3B3A3938ull);
    EXPECT_EQ(PayloadOf(m), std::vector<std::uint8_t>(stream.begin() + 64, stream.end()));
    EXPECT_EQ(position, 128u);
}

TEST(DecodeMessage, HeaderOnlyRecordHasZeroPayload)
{
    const auto stream = ExactCopy(Record(64, MessageAircraftPitch.get_id(), 2));
    std::uint32_t position = 0;
    const tm_external_message m = decode_message(stream.get(), position);
    EXPECT_EQ(position, 64u);
    EXPECT_EQ(PayloadOf(m), std::vector<std::uint8_t>(64, 0));
    EXPECT_EQ(m.get_double(), 0.0);
}

TEST(DecodeMessage, Size72CarriesEightPayloadBytes)
{
    auto record = Record(72, 5, 2);
    for (int i = 0; i < 8; ++i)
        record[64 + i] = static_cast<std::uint8_t>(0xA0 + i);
    const auto stream = ExactCopy(record);
    std::uint32_t position = 0;
    const tm_external_message m = decode_message(stream.get(), position);
    EXPECT_EQ(position, 72u);
    std::vector<std::uint8_t> expected(64, 0);
    for (int i = 0; i < 8; ++i)
        expected[i] = static_cast<std::uint8_t>(0xA0 + i);
    EXPECT_EQ(PayloadOf(m), expected);
}

TEST(DecodeMessage, Size88Vector3dFromOffsets64To80)
{
    auto record = Record(88, MessageAircraftVelocity.get_id(), 4);
    record_bytes::PutDouble(record, 64, 51.2);
    record_bytes::PutDouble(record, 72, -0.5);
    record_bytes::PutDouble(record, 80, 3.25);
    const auto stream = ExactCopy(record);
    std::uint32_t position = 0;
    const Vector3d v = decode_message(stream.get(), position).get_vector3d();
    EXPECT_EQ(position, 88u);
    EXPECT_EQ(v.x, 51.2);
    EXPECT_EQ(v.y, -0.5);
    EXPECT_EQ(v.z, 3.25);
}

TEST(DecodeMessage, Size128CarriesAllSixtyFourPayloadBytes)
{
    auto record = Record(128, 9, 0);
    for (int i = 0; i < 64; ++i)
        record[64 + i] = static_cast<std::uint8_t>(255 - i);
    const auto stream = ExactCopy(record);
    std::uint32_t position = 0;
    const tm_external_message m = decode_message(stream.get(), position);
    EXPECT_EQ(position, 128u);
    EXPECT_EQ(PayloadOf(m), std::vector<std::uint8_t>(record.begin() + 64, record.end()));
}

TEST(DecodeMessage, RecordsBackToBackDecodeInOrder)
{
    std::vector<std::uint8_t> bytes;
    auto a = Record(72, 0x1111, 2);
    record_bytes::PutDouble(a, 64, 1.0);
    auto b = Record(88, 0x2222, 4);
    record_bytes::PutDouble(b, 80, 2.0);
    Append(bytes, a);
    Append(bytes, b);
    Append(bytes, Record(64, 0x3333, 2));
    const auto stream = ExactCopy(bytes);

    std::uint32_t position = 0;
    const tm_external_message first = decode_message(stream.get(), position);
    EXPECT_EQ(position, 72u);
    const tm_external_message second = decode_message(stream.get(), position);
    EXPECT_EQ(position, 160u);
    const tm_external_message third = decode_message(stream.get(), position);
    EXPECT_EQ(position, 224u);
    EXPECT_EQ(first.get_id(), 0x1111u);
    EXPECT_EQ(first.get_double(), 1.0);
    EXPECT_EQ(second.get_id(), 0x2222u);
    EXPECT_EQ(second.get_vector3d().z, 2.0);
    EXPECT_EQ(third.get_id(), 0x3333u);
    EXPECT_EQ(third.get_double(), 0.0);
}

TEST(DecodeMessage, WrongMarkerUnknownTypeAndHighFlagsPassThrough)
{
    auto record = Record(72, 0x77, 9, 0x8000000100040000ull);
    record[0] = 0x34;
    record[1] = 0x12;
    record[64] = 0x5A;
    const auto stream = ExactCopy(record);
    std::uint32_t position = 0;
    const tm_external_message m = decode_message(stream.get(), position);
    EXPECT_EQ(position, 72u);
    EXPECT_EQ(m.Header.Marker, 0x1234);
    EXPECT_EQ(static_cast<int>(m.Header.DataType), 9);
    EXPECT_EQ(m.get_id(), 0x77u);
    EXPECT_EQ(m.get_flags().bits(), 0x8000000100040000ull);
    EXPECT_TRUE(m.get_flags().has_flags(BodyFrame));
    EXPECT_EQ(m.payload()[0], 0x5A);
}

TEST(DecodeFrame, DecodesCountRecordsIntoAClearedList)
{
    std::vector<std::uint8_t> bytes;
    Append(bytes, Record(72, 1, 2));
    Append(bytes, Record(88, 2, 4));
    Append(bytes, Record(64, 3, 2));
    const auto stream = ExactCopy(bytes);

    std::vector<tm_external_message> list(5);
    EXPECT_EQ(decode_frame(stream.get(), 3, list), 3u);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].get_id(), 1u);
    EXPECT_EQ(list[1].get_id(), 2u);
    EXPECT_EQ(list[2].get_id(), 3u);

    // Fewer than the stream holds: only those are read.
    EXPECT_EQ(decode_frame(stream.get(), 2, list), 2u);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(decode_frame(stream.get(), 0, list), 0u);
    EXPECT_TRUE(list.empty());
}

TEST(DecodeFrame, SizeOutsideTheRecordRangeEndsTheFrame)
{
    for (std::uint16_t bad : {std::uint16_t{63}, std::uint16_t{0}, std::uint16_t{129}, std::uint16_t{0xFFFF}}) {
        SCOPED_TRACE(bad);
        // Two good records, then a lone header that claims Size bad: the buffer ends with
        // that header, so a decoder that read on would be caught by AddressSanitizer.
        std::vector<std::uint8_t> bytes;
        Append(bytes, Record(72, 10, 2));
        Append(bytes, Record(88, 11, 4));
        auto header = Record(64, 12, 2);
        record_bytes::Put(header, 2, bad, 2);
        Append(bytes, header);
        ASSERT_EQ(bytes.size(), 72u + 88u + 64u);
        const auto stream = ExactCopy(bytes);

        std::vector<tm_external_message> list;
        // The count announces far more; the bad record still ends the frame.
        EXPECT_EQ(decode_frame(stream.get(), 1000000, list), 2u);
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0].get_id(), 10u);
        EXPECT_EQ(list[1].get_id(), 11u);
    }
}

TEST(DecodeFrame, BadFirstRecordLeavesAnEmptyList)
{
    auto header = Record(64, 1, 2);
    record_bytes::Put(header, 2, 200, 2);
    const auto stream = ExactCopy(header);
    std::vector<tm_external_message> list(3);
    EXPECT_EQ(decode_frame(stream.get(), 7, list), 0u);
    EXPECT_TRUE(list.empty());
}

TEST(DecodeFrame, SizesAtBothEndsOfTheRangeDecode)
{
    std::vector<std::uint8_t> bytes;
    Append(bytes, Record(64, 1, 2));
    Append(bytes, Record(128, 2, 4));
    Append(bytes, Record(64, 3, 2));
    const auto stream = ExactCopy(bytes);
    std::vector<tm_external_message> list;
    EXPECT_EQ(decode_frame(stream.get(), 3, list), 3u);
    EXPECT_EQ(list[2].get_id(), 3u);
}

TEST(DecodeFrame, AReusedListIsNotReallocated)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 20; ++i)
        Append(bytes, Record(72, static_cast<std::uint64_t>(i), 2));
    std::vector<tm_external_message> list;
    decode_frame(bytes.data(), 20, list);
    const tm_external_message* block = list.data();
    decode_frame(bytes.data(), 20, list);
    EXPECT_EQ(list.data(), block);
    EXPECT_EQ(list.size(), 20u);
}
