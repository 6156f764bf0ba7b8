#pragma once

// Builds host message records as raw stream bytes, field by field, little-endian.

#include "little_endian.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace record_bytes {

// Stores value's low width bytes (2, 4 or 8) at offset, little-endian.
inline void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, std::size_t width)
{
    if (width == 2)
        PutU16(bytes.data() + offset, static_cast<std::uint16_t>(value));
    else if (width == 4)
        PutU32(bytes.data() + offset, static_cast<std::uint32_t>(value));
    else
        PutU64(bytes.data() + offset, value);
}

inline void PutDouble(std::vector<std::uint8_t>& bytes, std::size_t offset, double value)
{
    PutF64(bytes.data() + offset, value);
}

// A record of size bytes: Marker 0xAAAA, Size, ID, DataType, Flags; all else 0.
inline std::vector<std::uint8_t> Record(std::uint16_t size, std::uint64_t id, std::uint8_t data_type,
                                        std::uint64_t flags = 0)
{
    std::vector<std::uint8_t> r(size < 64 ? 64 : size, 0);
    PutU16(r.data(), 0xAAAA);
    PutU16(r.data() + 2, size);
    PutU64(r.data() + 16, id);
    r[25] = data_type;
    PutU64(r.data() + 56, flags);
    return r;
}

inline void Append(std::vector<std::uint8_t>& stream, const std::vector<std::uint8_t>& record)
{
    stream.insert(stream.end(), record.begin(), record.end());
}

} // namespace record_bytes
