#pragma once

// The K2 layout of the MotionDatagram: the lead-in "K2," (no NUL), an
// unsigned 32-bit time field in microseconds and twelve IEEE 754 single
// floats in the order of data definition 0, all little-endian and packed
// without gaps, at the offsets of net/motion_fields.h.

#include "data_definition.h"
#include "motion_fields.h"

#include <cstddef>
#include <cstdint>

static_assert(kMotionValueCount == kK2FieldCount, "one float per variable of data definition 0");

struct MotionDatagram {
    unsigned char bytes[kK2Size];
};
static_assert(sizeof(MotionDatagram) == kK2Size, "no padding around the bytes");

// Fills the caller's datagram. Each value is narrowed to the nearest single
// float, ties to even; beyond the single range it becomes an infinity of the
// same sign, and a NaN stays a NaN.
void WriteMotionDatagram(std::uint32_t time_field, const double (&values)[kMotionValueCount],
                         MotionDatagram& datagram);
