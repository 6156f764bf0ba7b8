#pragma once

// What the bridge's log says about two records whose kind it only prints:
// the open record (kind 2), which names the simulator and its SimConnect,
// and an exception record (kind 1), which tells of a call the simulator
// refused. Pure code over bytes: all fields are little-endian.

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::uint32_t kRecordKindException = 1;
constexpr std::uint32_t kRecordKindOpen = 2;

// Open record, after the 12-byte header: the application's name as 256 bytes
// of zero-terminated text, then ten unsigned 32-bit values: the application's
// version major, minor, build major, build minor; SimConnect's version in the
// same four; two reserved.
constexpr std::size_t kOpenNameOffset = 12;
constexpr std::size_t kOpenNameSize = 256;
constexpr std::size_t kOpenApplicationVersionOffset = kOpenNameOffset + kOpenNameSize;
constexpr std::size_t kOpenSimConnectVersionOffset = kOpenApplicationVersionOffset + 16;
constexpr std::size_t kOpenRecordSize = kOpenSimConnectVersionOffset + 16 + 8;
static_assert(kOpenRecordSize == 308, "the open record is 308 bytes");

// Exception record, after the header: u32 exception number, u32 send ID of
// the call that failed, u32 index of the argument it failed on.
constexpr std::size_t kExceptionNumberOffset = 12;
constexpr std::size_t kExceptionRecordSize = kExceptionNumberOffset + 12;

// The log line for an open or an exception record; empty for any other
// kind. size is the length the library reports; no byte at or beyond it is
// read. Bytes of the name outside printable ASCII appear as \xNN.
std::string DescribeRecordForLog(const unsigned char* record, std::uint32_t size);
