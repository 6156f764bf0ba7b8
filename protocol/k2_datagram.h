#pragma once

// K2, as the MSFS bridge sends it: "K2," (no NUL), the time field in
// microseconds, then the twelve floats of kK2Fields, little-endian.

#include "motion_fields.h"

#include <cstdint>

// Fills all 55 bytes. Each value is narrowed to the nearest single float, ties
// to even; beyond the single range it becomes an infinity of the same sign,
// and a NaN stays a NaN.
void EncodeK2(std::uint32_t time_field, const double (&values)[kK2FieldCount], std::uint8_t (&msg)[kK2Size]);
