#include "receive_record.h"

#include <cstring>

namespace {

std::uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

double ReadF64(const unsigned char* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

} // namespace

RoutedRecord RouteRecord(const unsigned char* record, std::uint32_t size)
{
    RoutedRecord routed;
    if (size < kRecordKindOffset + 4)
        return routed;
    routed.kind = ReadU32(record + kRecordKindOffset);

    switch (routed.kind) {
    case kRecordKindQuit:
        routed.action = RecordAction::EndConnection;
        break;
    case kRecordKindEvent:
        if (size >= kRecordEventIdOffset + 4 && ReadU32(record + kRecordEventIdOffset) == kSimStartEventId)
            routed.action = RecordAction::RequestData;
        break;
    case kRecordKindObjectData:
        if (size < kRecordRequestIdOffset + 4 || ReadU32(record + kRecordRequestIdOffset) != kRequestId)
            break;
        // A delivery for our request always asks for the next one; its values
        // are relayed only when all twelve fit inside the record.
        if (size < kObjectDataRecordSize) {
            routed.action = RecordAction::RequestData;
            break;
        }
        routed.action = RecordAction::RequestDataAndRelay;
        for (std::size_t i = 0; i < kMotionValueCount; ++i)
            routed.values[i] = ReadF64(record + kRecordValuesOffset + 8 * i);
        break;
    default:
        routed.action = RecordAction::PrintKind;
        break;
    }
    return routed;
}
