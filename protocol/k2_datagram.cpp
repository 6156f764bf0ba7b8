#include "k2_datagram.h"

#include "little_endian.h"

#include <cstring>
#include <limits>

// The narrowing relies on IEEE 754 conversion: round to nearest, ties to even,
// overflow to infinity.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "IEEE 754 floats");

void EncodeK2(std::uint32_t time_field, const double (&values)[kK2FieldCount], std::uint8_t (&msg)[kK2Size])
{
    std::memcpy(msg, kK2LeadIn, kK2TimeOffset);
    PutU32(msg + kK2TimeOffset, time_field);
    for (std::size_t i = 0; i < kK2FieldCount; ++i)
        PutF32(msg + kK2Fields[i].offset, values[i]);
}
