#pragma once

// SimConnect's records (simconnect_records.h), as the emulator sends them:
// written byte by byte into a caller-owned buffer.

#include "simconnect_records.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::uint32_t kRecordVersion = 4;
constexpr std::uint32_t kUserAircraftObjectId = 1;

// The exception code the emulator gives a variable or units name it does not know.
constexpr std::uint32_t kExceptionNameUnrecognized = 7;

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
