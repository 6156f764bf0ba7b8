#include "k2_datagram.h"

#include "little_endian.h"

#include <cstring>
#include <limits>

// The narrowing below relies on IEEE 754 conversion: round to nearest, ties to
// even, overflow to infinity.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "IEEE 754 floats");

namespace {

// Each float of the datagram carries the variable registered in its place.
constexpr bool VariablesInDefinitionOrder()
{
    for (std::size_t i = 0; i < kMotionValueCount; ++i)
        if (!SameText(kK2Fields[i].variable, kMotionVariables[i].name))
            return false;
    return true;
}
static_assert(VariablesInDefinitionOrder(), "kK2Fields runs in the order of kMotionVariables");

} // namespace

void WriteMotionDatagram(std::uint32_t time_field, const double (&values)[kMotionValueCount],
                         MotionDatagram& datagram)
{
    unsigned char* p = datagram.bytes;
    std::memcpy(p, kK2LeadIn, kK2TimeOffset);
    PutU32(p + kK2TimeOffset, time_field);
    for (std::size_t i = 0; i < kMotionValueCount; ++i)
        PutF32(p + kK2Fields[i].offset, values[i]);
}
