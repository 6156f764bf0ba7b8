#include "receive_record.h"

#include "little_endian.h"

RoutedRecord RouteRecord(const unsigned char* record, std::uint32_t size)
{
    RoutedRecord routed;
    if (size < kRecordKindOffset + 4)
        return routed;
    routed.kind = LoadU32(record + kRecordKindOffset);

    switch (routed.kind) {
    case kRecordKindQuit:
        routed.action = RecordAction::EndConnection;
        break;
    case kRecordKindEvent:
        if (size >= kRecordEventIdOffset + 4 && LoadU32(record + kRecordEventIdOffset) == kSimStartEventId)
            routed.action = RecordAction::RequestData;
        break;
    case kRecordKindObjectData:
        if (size < kRecordRequestIdOffset + 4 || LoadU32(record + kRecordRequestIdOffset) != kRequestId)
            break;
        // A delivery for our request always asks for the next one; its values
        // are relayed only when all twelve fit inside the record.
        if (size < kObjectDataRecordSize) {
            routed.action = RecordAction::RequestData;
            break;
        }
        routed.action = RecordAction::RequestDataAndRelay;
        for (std::size_t i = 0; i < kK2FieldCount; ++i)
            routed.values[i] = LoadF64(record + kRecordValuesOffset + 8 * i);
        break;
    default:
        routed.action = RecordAction::PrintKind;
        break;
    }
    return routed;
}
