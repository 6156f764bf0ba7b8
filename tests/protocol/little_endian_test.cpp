// protocol/little_endian.h, the byte layer under every wire format: each store
// writes exactly its bytes, least significant first, at any offset and
// nothing beside them; PutF32 narrows as IEEE 754 does; each load reads back.
#include "little_endian.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

namespace {

double FromBits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

const double kInfinity = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct StoreCase {
    const char* what;
    std::function<void(std::uint8_t*)> put;
    std::vector<std::uint8_t> bytes;
};

const StoreCase kStores[] = {
    {"PutU16", [](std::uint8_t* p) { PutU16(p, 0xA1B2); }, {0xB2, 0xA1}},
    {"PutU32", [](std::uint8_t* p) { PutU32(p, 0x0A0B0C0Du); }, {0x0D, 0x0C, 0x0B, 0x0A}},
    {"PutU32 all ones", [](std::uint8_t* p) { PutU32(p, 0xFFFFFFFFu); }, {0xFF, 0xFF, 0xFF, 0xFF}},
    {"PutU64", [](std::uint8_t* p) { PutU64(p, 0x0102030405060708u); },
     {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}},
    {"PutF64 1.0", [](std::uint8_t* p) { PutF64(p, 1.0); }, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
    {"PutF64 -0.0", [](std::uint8_t* p) { PutF64(p, -0.0); }, {0, 0, 0, 0, 0, 0, 0, 0x80}},
    {"PutF64 a signalling NaN with a payload, bit for bit",
     [](std::uint8_t* p) { PutF64(p, FromBits(0x7FF0000000000123u)); }, {0x23, 0x01, 0, 0, 0, 0, 0xF0, 0x7F}},

    // PutF32: round to nearest, ties to even.
    {"PutF32 51.2 to the nearest single", [](std::uint8_t* p) { PutF32(p, 51.2); }, {0xCD, 0xCC, 0x4C, 0x42}},
    {"PutF32 0.1", [](std::uint8_t* p) { PutF32(p, 0.1); }, {0xCD, 0xCC, 0xCC, 0x3D}},
    {"PutF32 1/3", [](std::uint8_t* p) { PutF32(p, 1.0 / 3.0); }, {0xAB, 0xAA, 0xAA, 0x3E}},
    {"PutF32 -2.5 exactly", [](std::uint8_t* p) { PutF32(p, -2.5); }, {0x00, 0x00, 0x20, 0xC0}},
    {"PutF32 halfway between 1 and the next single: to even, down",
     [](std::uint8_t* p) { PutF32(p, 1.0 + std::ldexp(1.0, -24)); }, {0x00, 0x00, 0x80, 0x3F}},
    {"PutF32 halfway again: to even, up", [](std::uint8_t* p) { PutF32(p, 1.0 + 3 * std::ldexp(1.0, -24)); },
     {0x02, 0x00, 0x80, 0x3F}},
    {"PutF32 halfway below -1: to even, towards -1",
     [](std::uint8_t* p) { PutF32(p, -1.0 - std::ldexp(1.0, -24)); }, {0x00, 0x00, 0x80, 0xBF}},
    {"PutF32 the smallest subnormal", [](std::uint8_t* p) { PutF32(p, std::ldexp(1.0, -149)); },
     {0x01, 0x00, 0x00, 0x00}},
    {"PutF32 halfway to it from zero: to even, zero", [](std::uint8_t* p) { PutF32(p, std::ldexp(1.0, -150)); },
     {0x00, 0x00, 0x00, 0x00}},
    {"PutF32 -0.0 keeps its sign", [](std::uint8_t* p) { PutF32(p, -0.0); }, {0x00, 0x00, 0x00, 0x80}},

    // Beyond the single range: the same-signed infinity, unless nearer the largest single.
    {"PutF32 above the largest single, but nearer to it",
     [](std::uint8_t* p) { PutF32(p, std::ldexp(1.0, 128) - std::ldexp(3.0, 102)); }, {0xFF, 0xFF, 0x7F, 0x7F}},
    {"PutF32 halfway past the largest single: to even, infinity",
     [](std::uint8_t* p) { PutF32(p, std::ldexp(1.0, 128) - std::ldexp(1.0, 103)); }, {0x00, 0x00, 0x80, 0x7F}},
    {"PutF32 1e39", [](std::uint8_t* p) { PutF32(p, 1e39); }, {0x00, 0x00, 0x80, 0x7F}},
    {"PutF32 -1e39", [](std::uint8_t* p) { PutF32(p, -1e39); }, {0x00, 0x00, 0x80, 0xFF}},
    {"PutF32 1e300", [](std::uint8_t* p) { PutF32(p, 1e300); }, {0x00, 0x00, 0x80, 0x7F}},
    {"PutF32 -1e300", [](std::uint8_t* p) { PutF32(p, -1e300); }, {0x00, 0x00, 0x80, 0xFF}},
    {"PutF32 +infinity", [](std::uint8_t* p) { PutF32(p, kInfinity); }, {0x00, 0x00, 0x80, 0x7F}},
    {"PutF32 -infinity", [](std::uint8_t* p) { PutF32(p, -kInfinity); }, {0x00, 0x00, 0x80, 0xFF}},

    // A NaN stays a quiet NaN, and keeps its sign.
    {"PutF32 NaN", [](std::uint8_t* p) { PutF32(p, kNaN); }, {0x00, 0x00, 0xC0, 0x7F}},
    {"PutF32 -NaN", [](std::uint8_t* p) { PutF32(p, -kNaN); }, {0x00, 0x00, 0xC0, 0xFF}},
};

TEST(LittleEndian, EachStoreWritesExactlyItsBytesAtAnUnalignedOffset)
{
    for (const StoreCase& c : kStores) {
        std::vector<std::uint8_t> buffer(c.bytes.size() + 2, 0xEE);
        c.put(buffer.data() + 1);
        std::vector<std::uint8_t> expected(c.bytes.size() + 2, 0xEE);
        std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + 1);
        EXPECT_EQ(buffer, expected) << c.what;
    }
}

TEST(LittleEndian, EachLoadReadsItsBytesBack)
{
    const std::uint8_t bytes[] = {0xEE, 0x08, 0x07, 0x06, 0x85, 0x04, 0x03, 0x02, 0xF1};
    const std::uint8_t* p = bytes + 1;
    EXPECT_EQ(LoadU16(p), 0x0708u);
    EXPECT_EQ(LoadU32(p), 0x85060708u);
    EXPECT_EQ(LoadU64(p), 0xF102030485060708u);

    const std::uint8_t nan_payload[] = {0x23, 0x01, 0, 0, 0, 0, 0xF0, 0x7F};
    const double f64 = LoadF64(nan_payload);
    std::uint64_t f64_bits;
    std::memcpy(&f64_bits, &f64, sizeof f64_bits);
    EXPECT_EQ(f64_bits, 0x7FF0000000000123u);

    const std::uint8_t f32_bytes[] = {0xCD, 0xCC, 0x4C, 0x42};
    EXPECT_EQ(LoadF32(f32_bytes), 51.2f);
}

} // namespace
