#pragma once

// Routing of one received SimConnect record by the few fields the bridge
// reads. Pure code over bytes: all fields are little-endian, read byte by byte.

#include "data_definition.h"
#include "simconnect_records.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t kObjectDataRecordSize = ObjectDataRecordSize(kK2FieldCount);
static_assert(kObjectDataRecordSize == 136, "twelve 64-bit values end at byte 136");

enum class RecordAction {
    EndConnection,         // the quit notice
    RequestData,           // "SimStart", or a delivery too short to carry the values
    RequestDataAndRelay,   // a complete delivery for request 0
    PrintKind,             // a kind the bridge does not handle
    Nothing,               // other event or request IDs, fields beyond the record's end
};

struct RoutedRecord {
    RecordAction action = RecordAction::Nothing;
    std::uint32_t kind = 0;
    double values[kK2FieldCount] = {}; // set for RequestDataAndRelay only
};

// Decides what one record means. size is the length the library reports for
// it; no byte at or beyond size is read.
RoutedRecord RouteRecord(const unsigned char* record, std::uint32_t size);
