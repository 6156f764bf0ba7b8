#pragma once

// Little-endian stores into a caller-owned byte buffer, one byte at a time,
// so datagram fields may sit at any offset whatever the host's byte order.

#include <cstdint>
#include <cstring>

inline void PutU32(std::uint8_t* out, std::uint32_t value)
{
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
    out[2] = static_cast<std::uint8_t>(value >> 16);
    out[3] = static_cast<std::uint8_t>(value >> 24);
}

// Narrows to an IEEE single (round to nearest; out of range gives a same-signed
// infinity, NaN stays NaN) and stores its bits.
inline void PutF32(std::uint8_t* out, double value)
{
    const float narrowed = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &narrowed, sizeof(bits));
    PutU32(out, bits);
}
