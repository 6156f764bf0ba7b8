// Fuzzes the receivers' decoder (include/kinemora/motion_datagram.h).
//
// The input is copied into a heap buffer of exactly its length, so
// AddressSanitizer reports any read past it. For every input: the kind and
// the two decoders agree; a recognised datagram has the right length and
// lead-in; and decoding it, then encoding the result again, gives back the
// same bytes.
#include <kinemora/motion_datagram.h>

#include "little_endian.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Stores a float's own bits: through a double, a signalling NaN would come
// back quieted, and the round trip would differ where the decoder did not.
void PutFloatBits(unsigned char* out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    PutU32(out, bits);
}

// A test-only encoder, written from the layout and independent of the decoder.
void EncodeK01(const kinemora_k01& d, unsigned char (&out)[KINEMORA_K01_SIZE])
{
    std::memcpy(out, "K01,", 4);
    PutU32(out + 4, d.time_us);
    const float fields[9] = {d.velocity_x, d.velocity_y, d.velocity_z, d.bank, d.pitch,
                             d.rate_of_turn, d.angular_velocity_x, d.angular_velocity_y, d.angular_velocity_z};
    for (int i = 0; i < 9; ++i)
        PutFloatBits(out + 8 + 4 * i, fields[i]);
}

void EncodeK2(const kinemora_k2& d, unsigned char (&out)[KINEMORA_K2_SIZE])
{
    std::memcpy(out, "K2,", 3);
    PutU32(out + 3, d.time_us);
    const float fields[12] = {d.velocity_body_z, d.velocity_body_x, d.velocity_body_y,
                              d.acceleration_body_z, d.acceleration_body_x, d.acceleration_body_y,
                              d.bank, d.pitch, d.heading,
                              d.rotation_velocity_body_z, d.rotation_velocity_body_x, d.rotation_velocity_body_y};
    for (int i = 0; i < 12; ++i)
        PutFloatBits(out + 7 + 4 * i, fields[i]);
}

void Check(const unsigned char* data, std::size_t size)
{
    const kinemora_kind kind = kinemora_classify(data, size);
    kinemora_k01 k01;
    kinemora_k2 k2;
    const int is_k01 = kinemora_decode_k01(data, size, &k01);
    const int is_k2 = kinemora_decode_k2(data, size, &k2);
    Require(is_k01 == (kind == KINEMORA_K01));
    Require(is_k2 == (kind == KINEMORA_K2));
    Require(kinemora_decode_k01(data, size, nullptr) == 0);
    Require(kinemora_decode_k2(data, size, nullptr) == 0);

    if (is_k01) {
        Require(size == KINEMORA_K01_SIZE && std::memcmp(data, "K01,", 4) == 0);
        unsigned char again[KINEMORA_K01_SIZE];
        EncodeK01(k01, again);
        Require(std::memcmp(again, data, size) == 0);
    }
    if (is_k2) {
        Require(size == KINEMORA_K2_SIZE && std::memcmp(data, "K2,", 3) == 0);
        unsigned char again[KINEMORA_K2_SIZE];
        EncodeK2(k2, again);
        Require(std::memcmp(again, data, size) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[size]);
    if (size)
        std::memcpy(copy.get(), data, size);
    Check(copy.get(), size);
    // The same bytes again under the two datagram lengths and half their own
    // length, where shorter, as a receiver that got the length wrong would pass them.
    for (std::size_t shorter : {std::size_t{KINEMORA_K01_SIZE}, std::size_t{KINEMORA_K2_SIZE}, size / 2}) {
        if (shorter < size)
            Check(copy.get(), shorter);
    }
    Check(nullptr, size);
    return 0;
}
