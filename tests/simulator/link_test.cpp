// The stand-in's link protocol and the records the emulator sends, down to
// the byte; and the bridge's routing of exactly those records.
#include "link_protocol.h"
#include "little_endian.h"
#include "receive_record.h"
#include "sim_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Written(unsigned char* buffer, std::size_t size)
{
    return Bytes(buffer, buffer + size);
}

TEST(LinkFrameWriter, WritesLengthTypeAndFieldsLittleEndian)
{
    unsigned char buffer[64];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kRequestData);
    writer.U32(0x11223344u);
    writer.U32(0);
    writer.U32(250);
    writer.I32(-2);
    const std::size_t size = writer.Finish();
    const Bytes expected = {
        0x14, 0x00, 0x00, 0x00, // 20 bytes follow
        0x04, 0x00, 0x00, 0x00, // kRequestData
        0x44, 0x33, 0x22, 0x11, 0x00, 0x00, 0x00, 0x00, 0xFA, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,
    };
    EXPECT_EQ(Written(buffer, size), expected);
}

TEST(LinkFrameWriter, WritesTextsWithTheirByteCountAndFloatsAsTheirBits)
{
    unsigned char buffer[64];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kOpen);
    writer.Text("Req");
    writer.Text("");
    writer.F32(-1.5f);
    const std::size_t size = writer.Finish();
    const Bytes expected = {
        0x13, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
        0x03, 0x00, 0x00, 0x00, 'R', 'e', 'q',
        0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0xC0, 0xBF,
    };
    EXPECT_EQ(Written(buffer, size), expected);
}

TEST(LinkFrameWriter, FailsWholeWhenAFieldDoesNotFit)
{
    unsigned char buffer[12];
    simlink::FrameWriter fits(buffer, sizeof(buffer), simlink::kClose);
    fits.U32(1);
    EXPECT_EQ(fits.Finish(), 12u);

    simlink::FrameWriter text_too_long(buffer, sizeof(buffer), simlink::kOpen);
    text_too_long.Text("x");
    text_too_long.U32(1); // would fit by itself, but the frame already failed
    EXPECT_EQ(text_too_long.Finish(), 0u);

    simlink::FrameWriter no_header(buffer, 7, simlink::kClose);
    EXPECT_EQ(no_header.Finish(), 0u);
}

TEST(LinkFrameReader, ReadsWhatTheWriterWrote)
{
    unsigned char buffer[128];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kAddToDataDefinition);
    writer.U32(7);
    writer.Text("VELOCITY BODY Z");
    writer.Text("meters per second");
    writer.I32(4);
    writer.F32(0.25f);
    writer.U32(0xFFFFFFFFu);
    const std::size_t size = writer.Finish();

    simlink::FrameReader reader(buffer + simlink::kFrameHeaderSize, size - simlink::kFrameHeaderSize);
    std::uint32_t define = 0, datum = 0;
    std::int32_t type = 0;
    float epsilon = 0;
    std::string name, units;
    ASSERT_TRUE(reader.U32(define) && reader.Text(name) && reader.Text(units) && reader.I32(type) &&
                reader.F32(epsilon) && reader.U32(datum));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(define, 7u);
    EXPECT_EQ(name, "VELOCITY BODY Z");
    EXPECT_EQ(units, "meters per second");
    EXPECT_EQ(type, 4);
    EXPECT_EQ(epsilon, 0.25f);
    EXPECT_EQ(datum, 0xFFFFFFFFu);
}

TEST(LinkFrameReader, RefusesToReadPastTheEnd)
{
    const unsigned char text_claims_more[] = {0x05, 0x00, 0x00, 0x00, 'a', 'b'};
    simlink::FrameReader reader(text_claims_more, sizeof(text_claims_more));
    std::string text;
    EXPECT_FALSE(reader.Text(text));
    EXPECT_FALSE(reader.Ok());
    std::uint32_t value = 0;
    EXPECT_FALSE(reader.U32(value)); // stays failed

    const unsigned char three[] = {1, 2, 3};
    simlink::FrameReader short_reader(three, sizeof(three));
    EXPECT_FALSE(short_reader.U32(value));
}

TEST(LinkFrameAssembler, SplitsAStreamArrivingByteByByteAndInBursts)
{
    const Bytes stream = {
        0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00,             // kClose, no fields
        0x06, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00, 0xAA, 0xBB, // kRecord, two bytes
    };
    simlink::FrameAssembler one_by_one;
    std::uint32_t type = 0;
    Bytes fields;
    std::vector<std::uint32_t> types;
    for (unsigned char b : stream) {
        one_by_one.Append(&b, 1);
        while (one_by_one.Next(type, fields) == simlink::FrameStatus::Complete)
            types.push_back(type);
    }
    EXPECT_EQ(types, (std::vector<std::uint32_t>{simlink::kClose, simlink::kRecord}));
    EXPECT_EQ(fields, (Bytes{0xAA, 0xBB}));

    simlink::FrameAssembler burst;
    burst.Append(stream.data(), stream.size());
    ASSERT_EQ(burst.Next(type, fields), simlink::FrameStatus::Complete);
    EXPECT_EQ(type, simlink::kClose);
    EXPECT_TRUE(fields.empty());
    ASSERT_EQ(burst.Next(type, fields), simlink::FrameStatus::Complete);
    EXPECT_EQ(fields, (Bytes{0xAA, 0xBB}));
    EXPECT_EQ(burst.Next(type, fields), simlink::FrameStatus::Incomplete);
}

TEST(LinkFrameAssembler, RejectsLengthsWithoutATypeOrBeyondTheLimit)
{
    for (std::uint32_t length : {0u, 3u, 65537u, 0xFFFFFFFFu}) {
        simlink::FrameAssembler assembler;
        unsigned char header[4];
        PutU32(header, length);
        assembler.Append(header, sizeof(header));
        std::uint32_t type = 0;
        Bytes fields;
        EXPECT_EQ(assembler.Next(type, fields), simlink::FrameStatus::Malformed) << length;
    }
}

TEST(SimRecords, QuitNoticeAndOtherKindsAreTheHeaderAlone)
{
    unsigned char record[16];
    ASSERT_EQ(WriteHeaderRecord(record, sizeof(record), kRecordKindQuit), 12u);
    EXPECT_EQ(Written(record, 12), (Bytes{12, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0}));
    ASSERT_EQ(WriteHeaderRecord(record, sizeof(record), 0x01020307u), 12u);
    EXPECT_EQ(Written(record, 12), (Bytes{12, 0, 0, 0, 4, 0, 0, 0, 7, 3, 2, 1}));
    EXPECT_EQ(WriteHeaderRecord(record, 11, kRecordKindQuit), 0u);
}

TEST(SimRecords, EventCarriesItsIdAtByteSixteen)
{
    unsigned char record[24];
    ASSERT_EQ(WriteEventRecord(record, sizeof(record), 0x0A0B0C0Du), 24u);
    const Bytes expected = {24, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0,
                            0xFF, 0xFF, 0xFF, 0xFF, 0x0D, 0x0C, 0x0B, 0x0A, 0, 0, 0, 0};
    EXPECT_EQ(Written(record, 24), expected);
    EXPECT_EQ(WriteEventRecord(record, 23, 0), 0u);
}

TEST(SimRecords, DataRecordCarriesTheValuesFromByteForty)
{
    const double values[2] = {1.5, -2.0};
    unsigned char record[56];
    ASSERT_EQ(WriteObjectDataRecord(record, sizeof(record), 3, 0, values, 2), 56u);
    const Bytes expected = {
        56, 0, 0, 0, 4, 0, 0, 0, 9, 0, 0, 0, // size, version, kind
        3, 0, 0, 0,                          // 12: request ID
        1, 0, 0, 0,                          // 16: object ID of the user's aircraft
        0, 0, 0, 0,                          // 20: definition ID
        0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,  // 24: flags, entry 1 of 1
        2, 0, 0, 0,                          // 36: value count
        0, 0, 0, 0, 0, 0, 0xF8, 0x3F,        // 40: 1.5
        0, 0, 0, 0, 0, 0, 0x00, 0xC0,        // 48: -2.0
    };
    EXPECT_EQ(Written(record, 56), expected);
    EXPECT_EQ(WriteObjectDataRecord(record, 55, 3, 0, values, 2), 0u);
    EXPECT_EQ(WriteObjectDataRecord(record, 39, 3, 0, values, 0), 0u);
}

TEST(SimRecords, ExceptionCarriesCodeCallAndArgument)
{
    unsigned char record[32];
    const Bytes expected = {
        24, 0, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0, // size, version, kind 1
        7, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0,  // code 7, call 3, argument 4
    };
    EXPECT_EQ(Written(record, WriteExceptionRecord(record, sizeof(record), 7, 3, 4)), expected);
    EXPECT_EQ(WriteExceptionRecord(record, 23, 7, 3, 4), 0u);
}

TEST(SimRecords, OpenAcknowledgementAnnouncesTheEdition)
{
    unsigned char record[kOpenRecordSize];
    std::memset(record, 0xEE, sizeof(record));
    ASSERT_EQ(WriteOpenRecord(record, sizeof(record), *FindEdition("2024")), 308u);
    Bytes expected(308, 0);
    const unsigned char head[] = {0x34, 0x01, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 'S', 'u', 'n', 'R', 'i', 's', 'e'};
    std::copy(std::begin(head), std::end(head), expected.begin());
    const std::uint32_t versions[] = {12, 1, 282174, 999, 12, 1, 71436, 2}; // application, SimConnect
    for (std::size_t i = 0; i < 8; ++i)
        PutU32(expected.data() + 268 + 4 * i, versions[i]);
    EXPECT_EQ(Written(record, 308), expected);
    EXPECT_EQ(WriteOpenRecord(record, 307, DefaultEdition()), 0u);
}

// The emulator's records mean to the bridge what the emulator means by them.
TEST(SimRecordsThroughTheBridge, EachRecordRoutesAsIntended)
{
    unsigned char record[ObjectDataRecordSize(12)];
    auto route = [&](std::size_t size) { return RouteRecord(record, static_cast<std::uint32_t>(size)); };

    EXPECT_EQ(route(WriteHeaderRecord(record, sizeof(record), kRecordKindQuit)).action,
              RecordAction::EndConnection);
    EXPECT_EQ(route(WriteEventRecord(record, sizeof(record), 0)).action, RecordAction::RequestData);
    EXPECT_EQ(route(WriteEventRecord(record, sizeof(record), 1)).action, RecordAction::Nothing);
    const RoutedRecord other = route(WriteHeaderRecord(record, sizeof(record), 7));
    EXPECT_EQ(other.action, RecordAction::PrintKind);
    EXPECT_EQ(other.kind, 7u);
    unsigned char open[kOpenRecordSize];
    const RoutedRecord opened =
        RouteRecord(open, static_cast<std::uint32_t>(WriteOpenRecord(open, sizeof(open), DefaultEdition())));
    EXPECT_EQ(opened.action, RecordAction::PrintKind);
    EXPECT_EQ(opened.kind, 2u);
    const RoutedRecord refused = route(WriteExceptionRecord(record, sizeof(record), 7, 3, 3));
    EXPECT_EQ(refused.action, RecordAction::PrintKind);
    EXPECT_EQ(refused.kind, 1u);

    double values[12];
    for (int i = 0; i < 12; ++i)
        values[i] = std::ldexp(1.0, i) + 0.1;
    const RoutedRecord full = route(WriteObjectDataRecord(record, sizeof(record), 0, 0, values, 12));
    ASSERT_EQ(full.action, RecordAction::RequestDataAndRelay);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(full.values[i], values[i]);
    EXPECT_EQ(route(WriteObjectDataRecord(record, sizeof(record), 0, 0, values, 11)).action,
              RecordAction::RequestData);
    EXPECT_EQ(route(WriteObjectDataRecord(record, sizeof(record), 5, 0, values, 12)).action,
              RecordAction::Nothing);
}

} // namespace
