#pragma once

// Records in SimConnect's receive layout, as the emulator sends them. Every
// record starts with u32 size, u32 version and u32 kind; all fields are
// little-endian and written byte by byte into a caller-owned buffer.
//
//   quit notice (kind 3), other kinds:  the 12-byte header alone
//   exception (kind 1):  12 u32 exception code, 16 u32 send ID (the number of
//       the client's call that failed, counting its open as 1), 20 u32 index
//       (which argument of that call, counting the handle as 1)
//   open acknowledgement (kind 2):  12 char[256] application name, NUL-padded,
//       268 u32 application version major, minor, build major, build minor,
//       284 u32 library version major, minor, build major, build minor,
//       300 two u32 reserved (0)
//   event (kind 4):  12 u32 group (0xFFFFFFFF: none), 16 u32 event ID, 20 u32 data
//   data for an object-type request (kind 9):  12 u32 request ID, 16 u32 object ID,
//       20 u32 definition ID, 24 u32 flags, 28 u32 entry number, 32 u32 entry count,
//       36 u32 value count, 40 the values as 64-bit floats

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::uint32_t kSimKindException = 1;
constexpr std::uint32_t kSimKindOpen = 2;
constexpr std::uint32_t kSimKindQuit = 3;
constexpr std::uint32_t kSimKindEvent = 4;
constexpr std::uint32_t kSimKindObjectDataByType = 9;

constexpr std::uint32_t kRecordVersion = 4;
constexpr std::uint32_t kUserAircraftObjectId = 1;

constexpr std::size_t kRecordHeaderSize = 12;
constexpr std::size_t kExceptionRecordSize = 24;
constexpr std::size_t kOpenRecordSize = 308;
constexpr std::size_t kEventRecordSize = 24;

// The exception code the emulator gives a variable or units name it does not know.
constexpr std::uint32_t kExceptionNameUnrecognized = 7;
constexpr std::size_t kObjectDataValuesOffset = 40;

constexpr std::size_t ObjectDataRecordSize(std::size_t value_count)
{
    return kObjectDataValuesOffset + 8 * value_count;
}
static_assert(ObjectDataRecordSize(12) == 136, "a full delivery of twelve values");

// What the open acknowledgement says the simulator is. The names and the
// major versions are those developers report the simulators send; the other
// numbers are the emulator's own choice. Nobody has checked them against the
// real simulators.
struct SimulatorEdition {
    const char* year;                      // as --edition takes it: "2020"
    const char* application_name;          // "KittyHawk"
    std::uint32_t application_version[4];  // major, minor, build major, build minor
    std::uint32_t library_version[4];      // SimConnect's, in the same order
};

// MSFS 2020 unless told otherwise.
const SimulatorEdition& DefaultEdition();

// The edition of "2020" or "2024"; null for anything else.
const SimulatorEdition* FindEdition(const std::string& year);

// Each returns the record's size, or 0 when it does not fit into capacity.
std::size_t WriteHeaderRecord(unsigned char* out, std::size_t capacity, std::uint32_t kind);
std::size_t WriteExceptionRecord(unsigned char* out, std::size_t capacity, std::uint32_t code, std::uint32_t send_id,
                                 std::uint32_t index);
std::size_t WriteOpenRecord(unsigned char* out, std::size_t capacity, const SimulatorEdition& edition);
std::size_t WriteEventRecord(unsigned char* out, std::size_t capacity, std::uint32_t event_id);
std::size_t WriteObjectDataRecord(unsigned char* out, std::size_t capacity, std::uint32_t request_id,
                                  std::uint32_t define_id, const double* values, std::size_t value_count);
