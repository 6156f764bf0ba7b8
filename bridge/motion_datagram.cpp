#include "motion_datagram.h"

#include "little_endian.h"

#include <limits>

// The narrowing below relies on IEEE 754 conversion: round to nearest, ties to
// even, overflow to infinity.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "IEEE 754 floats");

void WriteMotionDatagram(std::uint32_t time_field, const double (&values)[kMotionValueCount],
                         MotionDatagram& datagram)
{
    unsigned char* p = datagram.bytes;
    p[kLeadInOffset + 0] = 'K';
    p[kLeadInOffset + 1] = '2';
    p[kLeadInOffset + 2] = ',';
    PutU32(p + kTimeFieldOffset, time_field);
    for (std::size_t i = 0; i < kMotionValueCount; ++i)
        PutF32(p + kFirstFloatOffset + 4 * i, values[i]);
}
