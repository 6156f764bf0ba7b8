#pragma once

// What the bridge's log says about two records whose kind it only prints:
// the open record (kind 2), which names the simulator and its SimConnect,
// and an exception record (kind 1), which tells of a call the simulator
// refused. Pure code over bytes: all fields are little-endian.

#include <cstdint>
#include <string>

// The log line for an open or an exception record; empty for any other
// kind. size is the length the library reports; no byte at or beyond it is
// read. Bytes of the name outside printable ASCII appear as \xNN.
std::string DescribeRecordForLog(const unsigned char* record, std::uint32_t size);
