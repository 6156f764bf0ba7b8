#pragma once

// The records SimConnect hands its client, in the library's receive layout.
// The bridge reads them; kinemora-simulator writes them for the stand-in
// library to pass on. Every record starts with u32 size, u32 version and u32
// kind; all fields are little-endian.
//
//   quit notice (kind 3), other kinds:  the 12-byte header alone
//   exception (kind 1):  12 u32 exception number, 16 u32 send ID (the number of
//       the client's call that failed, counting its open as 1), 20 u32 index
//       (which argument of that call, counting the handle as 1)
//   open (kind 2):  12 char[256] the simulator's application name, zero-terminated,
//       268 u32 application version major, minor, build major, build minor,
//       284 u32 SimConnect version major, minor, build major, build minor,
//       300 two u32 reserved
//   event (kind 4):  12 u32 group (0xFFFFFFFF: none), 16 u32 event ID, 20 u32 data
//   data for an object-type request (kind 9):  12 u32 request ID, 16 u32 object ID,
//       20 u32 definition ID, 24 u32 flags, 28 u32 entry number, 32 u32 entry count,
//       36 u32 value count, 40 the values as 64-bit floats

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t kRecordKindException = 1;
constexpr std::uint32_t kRecordKindOpen = 2;
constexpr std::uint32_t kRecordKindQuit = 3;
constexpr std::uint32_t kRecordKindEvent = 4;
constexpr std::uint32_t kRecordKindObjectData = 9;

constexpr std::size_t kRecordKindOffset = 8;
constexpr std::size_t kRecordHeaderSize = 12;

constexpr std::size_t kExceptionNumberOffset = 12; // then the send ID and the index
constexpr std::size_t kExceptionRecordSize = kExceptionNumberOffset + 12;

constexpr std::size_t kOpenNameOffset = 12;
constexpr std::size_t kOpenNameSize = 256;
constexpr std::size_t kOpenApplicationVersionOffset = kOpenNameOffset + kOpenNameSize;
constexpr std::size_t kOpenSimConnectVersionOffset = kOpenApplicationVersionOffset + 16;
constexpr std::size_t kOpenRecordSize = kOpenSimConnectVersionOffset + 16 + 8;
static_assert(kOpenRecordSize == 308, "the open record is 308 bytes");

constexpr std::size_t kRecordEventIdOffset = 16;
constexpr std::size_t kEventRecordSize = 24;

constexpr std::size_t kRecordRequestIdOffset = 12;
constexpr std::size_t kRecordValuesOffset = 40;

constexpr std::size_t ObjectDataRecordSize(std::size_t value_count)
{
    return kRecordValuesOffset + 8 * value_count;
}
