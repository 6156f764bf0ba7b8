#pragma once

// The K2 layout of the MotionDatagram: the lead-in "K2," (no NUL), an
// unsigned 32-bit time field in microseconds and twelve IEEE 754 single
// floats, all little-endian and packed without gaps.

#include "data_definition.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t kMotionDatagramSize = 55;
constexpr std::size_t kLeadInOffset = 0;
constexpr std::size_t kLeadInSize = 3;
constexpr std::size_t kTimeFieldOffset = 3;
constexpr std::size_t kFirstFloatOffset = 7;

static_assert(kTimeFieldOffset == kLeadInOffset + kLeadInSize, "the time field follows the lead-in");
static_assert(kFirstFloatOffset == kTimeFieldOffset + 4, "the floats follow the time field");
static_assert(kFirstFloatOffset + 4 * kMotionValueCount == kMotionDatagramSize, "twelve floats end the datagram");

struct MotionDatagram {
    unsigned char bytes[kMotionDatagramSize];
};
static_assert(sizeof(MotionDatagram) == kMotionDatagramSize, "no padding around the bytes");

// Fills the caller's datagram. Each value is narrowed to the nearest single
// float, ties to even; beyond the single range it becomes an infinity of the
// same sign, and a NaN stays a NaN.
void WriteMotionDatagram(std::uint32_t time_field, const double (&values)[kMotionValueCount],
                         MotionDatagram& datagram);
