#pragma once

// Little-endian loads and stores over caller-owned byte buffers, one byte at a
// time, so that fields may sit at any offset whatever the host's byte order.
// Compilers merge each into a single load or store where the host allows it.
// Every wire format and record of the project goes through these.

#include <cstdint>
#include <cstring>

inline std::uint16_t LoadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t LoadU64(const std::uint8_t* p)
{
    return static_cast<std::uint64_t>(LoadU32(p)) | (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
}

// The IEEE 754 value whose bits are stored there, NaN payloads included.
inline double LoadF64(const std::uint8_t* p)
{
    const std::uint64_t bits = LoadU64(p);
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

inline float LoadF32(const std::uint8_t* p)
{
    const std::uint32_t bits = LoadU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

inline void PutU16(std::uint8_t* out, std::uint16_t value)
{
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(std::uint8_t* out, std::uint32_t value)
{
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
    out[2] = static_cast<std::uint8_t>(value >> 16);
    out[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void PutU64(std::uint8_t* out, std::uint64_t value)
{
    PutU32(out, static_cast<std::uint32_t>(value));
    PutU32(out + 4, static_cast<std::uint32_t>(value >> 32));
}

inline void PutF64(std::uint8_t* out, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    PutU64(out, bits);
}

// Narrows to an IEEE single (round to nearest, ties to even; out of range
// gives a same-signed infinity, NaN stays NaN) and stores its bits.
inline void PutF32(std::uint8_t* out, double value)
{
    const float narrowed = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &narrowed, sizeof(bits));
    PutU32(out, bits);
}
