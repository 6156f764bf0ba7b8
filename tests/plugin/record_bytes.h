#pragma once

// Builds host message records as raw stream bytes, field by field, little-endian.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace record_bytes {

inline void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PutDouble(std::vector<std::uint8_t>& bytes, std::size_t offset, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    Put(bytes, offset, bits, 8);
}

// A record of size bytes: Marker 0xAAAA, Size, ID, DataType, Flags; all else 0.
inline std::vector<std::uint8_t> Record(std::uint16_t size, std::uint64_t id, std::uint8_t data_type,
                                        std::uint64_t flags = 0)
{
    std::vector<std::uint8_t> r(size < 64 ? 64 : size, 0);
    Put(r, 0, 0xAAAA, 2);
    Put(r, 2, size, 2);
    Put(r, 16, id, 8);
    r[25] = data_type;
    Put(r, 56, flags, 8);
    return r;
}

inline void Append(std::vector<std::uint8_t>& stream, const std::vector<std::uint8_t>& record)
{
    stream.insert(stream.end(), record.begin(), record.end());
}

} // namespace record_bytes
