#pragma once

#include "little_endian.h"

#include <cstdint>
#include <cstring>
#include <vector>

// Test-side byte writing and float bit access, independent of the decoder
// (whose header keeps byte reads of its own).

inline void PutU32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value)
{
    PutU32(bytes.data() + offset, value);
}

inline std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// IEEE single-precision patterns that a receiver must get back unchanged.
inline constexpr std::uint32_t kSpecialFloatBits[] = {
    0x7fc00000u, // quiet NaN
    0xffc00000u, // negative quiet NaN
    0x7fc12345u, // quiet NaN with a payload
    0x7f800001u, // signalling NaN
    0x7f800000u, // +infinity
    0xff800000u, // -infinity
    0x80000000u, // -0.0
    0x00000001u, // smallest subnormal
    0x7f7fffffu, // largest finite
    0xff7fffffu, // most negative finite
};
