#pragma once

#include "motion_fields.h"

#include <kinemora/motion_datagram.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Text forms of one received datagram. Pure functions over bytes, so the
// listener's output can be checked without a socket.

struct DatagramField {
    const char* name; // as printed, e.g. "velocity_x": the field table's name
    float value;
};

constexpr std::size_t kMaxDatagramFields = kK2FieldCount;

// One datagram's kind, time field and named values in wire order. An
// unrecognised datagram has no time field and no values.
struct DecodedDatagram {
    kinemora_kind kind = KINEMORA_UNRECOGNISED;
    std::uint32_t time_us = 0;
    std::size_t field_count = 0;
    DatagramField fields[kMaxDatagramFields] = {};
};

// Never reads past length.
DecodedDatagram DecodeDatagram(const unsigned char* data, std::size_t length);

// "K01 time_us=... velocity_x=... ..." with every field named, or
// "unrecognised length=N bytes=..." for anything else. Never reads past length.
std::string DescribeDatagram(const unsigned char* data, std::size_t length);

// Lower-case hex of at most max_bytes bytes, with "..." when cut.
std::string HexBytes(const unsigned char* data, std::size_t length, std::size_t max_bytes);

// One CSV table for both kinds: the columns of the other kind stay empty.
std::string CsvHeader();
std::string CsvRow(double arrival_seconds, const std::string& source,
                   const unsigned char* data, std::size_t length);
