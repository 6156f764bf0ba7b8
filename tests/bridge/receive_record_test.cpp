#include "receive_record.h"

#include "little_endian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void PutU32(std::vector<unsigned char>& r, std::size_t offset, std::uint32_t value)
{
    ::PutU32(r.data() + offset, value);
}

void PutF64(std::vector<unsigned char>& r, std::size_t offset, double value)
{
    ::PutF64(r.data() + offset, value);
}

// A record of the given size with the kind at byte 8 (and the size at byte 0,
// as the library writes it; the bridge does not read it).
std::vector<unsigned char> Record(std::size_t size, std::uint32_t kind)
{
    std::vector<unsigned char> r(size, 0);
    PutU32(r, 0, static_cast<std::uint32_t>(size));
    PutU32(r, 8, kind);
    return r;
}

RoutedRecord Route(const std::vector<unsigned char>& r)
{
    return RouteRecord(r.data(), static_cast<std::uint32_t>(r.size()));
}

std::vector<unsigned char> Delivery(std::uint32_t request_id, std::size_t value_count)
{
    std::vector<unsigned char> r = Record(40 + 8 * value_count, 9);
    PutU32(r, 12, request_id);
    PutU32(r, 16, 1);  // object ID
    PutU32(r, 20, 0);  // definition ID
    PutU32(r, 36, static_cast<std::uint32_t>(value_count));
    for (std::size_t i = 0; i < value_count; ++i)
        PutF64(r, 40 + 8 * i, 1.5 * static_cast<double>(i + 1));
    return r;
}

TEST(RouteRecord, QuitNoticeEndsTheConnection)
{
    EXPECT_EQ(Route(Record(12, 3)).action, RecordAction::EndConnection);
}

TEST(RouteRecord, EventZeroRequestsDataAndOtherEventsDoNothing)
{
    std::vector<unsigned char> event = Record(24, 4);
    PutU32(event, 12, 0xFFFFFFFFu); // group
    PutU32(event, 16, 0);
    EXPECT_EQ(Route(event).action, RecordAction::RequestData);

    PutU32(event, 16, 7);
    EXPECT_EQ(Route(event).action, RecordAction::Nothing);
    PutU32(event, 16, 0x100); // only a higher byte set: not event 0
    EXPECT_EQ(Route(event).action, RecordAction::Nothing);

    // The event ID is the one at byte 16, not the group at 12 or the data at 20.
    PutU32(event, 12, 0);
    PutU32(event, 16, 5);
    PutU32(event, 20, 0);
    EXPECT_EQ(Route(event).action, RecordAction::Nothing);
}

TEST(RouteRecord, CompleteDeliveryForRequestZeroIsRelayedWithItsValuesInOrder)
{
    std::vector<unsigned char> delivery = Delivery(0, 12);
    // The value at byte 40, spelled out: 1.5 is 0x3FF8000000000000, little-endian.
    const std::vector<unsigned char> first(delivery.begin() + 40, delivery.begin() + 48);
    EXPECT_EQ(first, (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));

    const RoutedRecord routed = Route(delivery);
    ASSERT_EQ(routed.action, RecordAction::RequestDataAndRelay);
    for (std::size_t i = 0; i < kK2FieldCount; ++i)
        EXPECT_EQ(routed.values[i], 1.5 * static_cast<double>(i + 1)) << "value " << i;
}

TEST(RouteRecord, DeliveryKeepsEveryBitOfItsValues)
{
    std::vector<unsigned char> delivery = Delivery(0, 12);
    const unsigned char nan_with_payload[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xFD, 0x7F};
    std::memcpy(&delivery[40 + 8 * 11], nan_with_payload, 8);
    const RoutedRecord routed = Route(delivery);
    ASSERT_EQ(routed.action, RecordAction::RequestDataAndRelay);
    unsigned char got[8];
    std::memcpy(got, &routed.values[11], 8);
    EXPECT_EQ(std::memcmp(got, nan_with_payload, 8), 0);
}

TEST(RouteRecord, DeliveryForAnotherRequestDoesNothing)
{
    EXPECT_EQ(Route(Delivery(1, 12)).action, RecordAction::Nothing);
    EXPECT_EQ(Route(Delivery(0x01000000u, 12)).action, RecordAction::Nothing);
}

TEST(RouteRecord, DeliveryTooShortForTwelveValuesRequestsAgainWithoutValues)
{
    for (std::size_t values : {0u, 1u, 11u}) {
        const RoutedRecord routed = Route(Delivery(0, values));
        EXPECT_EQ(routed.action, RecordAction::RequestData) << values << " values";
        for (double v : routed.values)
            EXPECT_EQ(v, 0.0);
    }
    // One byte short of the twelfth value.
    std::vector<unsigned char> almost = Delivery(0, 12);
    EXPECT_EQ(RouteRecord(almost.data(), 135).action, RecordAction::RequestData);
    EXPECT_EQ(RouteRecord(almost.data(), 136).action, RecordAction::RequestDataAndRelay);
}

TEST(RouteRecord, SizeGivenToTheCallbackCountsNotTheSizeField)
{
    // The record's own size field claims 136 bytes; the callback was told 128.
    std::vector<unsigned char> delivery = Delivery(0, 12);
    EXPECT_EQ(RouteRecord(delivery.data(), 128).action, RecordAction::RequestData);
}

TEST(RouteRecord, OtherKindsArePrintedWithTheirKind)
{
    for (std::uint32_t kind : {0u, 1u, 2u, 5u, 7u, 8u, 10u, 0x7FFFFFFFu}) {
        const RoutedRecord routed = Route(Record(12, kind));
        EXPECT_EQ(routed.action, RecordAction::PrintKind) << kind;
        EXPECT_EQ(routed.kind, kind);
    }
}

TEST(RouteRecord, FieldsBeyondTheRecordAreNeverRead)
{
    // Each buffer holds what would otherwise be acted on, past the size given.
    std::vector<unsigned char> quit = Record(12, 3);
    EXPECT_EQ(RouteRecord(quit.data(), 11).action, RecordAction::Nothing);
    std::vector<unsigned char> event = Record(24, 4);
    EXPECT_EQ(RouteRecord(event.data(), 19).action, RecordAction::Nothing);
    std::vector<unsigned char> delivery = Delivery(0, 12);
    EXPECT_EQ(RouteRecord(delivery.data(), 15).action, RecordAction::Nothing);
    EXPECT_EQ(RouteRecord(delivery.data(), 0).action, RecordAction::Nothing);
}

} // namespace
