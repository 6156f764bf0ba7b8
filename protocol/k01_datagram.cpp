#include "k01_datagram.h"

#include "little_endian.h"

#include <cstring>

std::uint32_t K01TimeField(double seconds)
{
    const double product = seconds * 1000000.0;
    // Written so that NaN fails the test too.
    if (!(product >= -9223372036854775808.0 && product < 18446744073709551616.0))
        return 0;
    std::uint64_t truncated;
    if (product >= 9223372036854775808.0)
        truncated = static_cast<std::uint64_t>(product);
    else
        truncated = static_cast<std::uint64_t>(static_cast<std::int64_t>(product)); // two's complement
    return static_cast<std::uint32_t>(truncated & 0x1FFFFFF);
}

const double& K01Value(const MotionFrame& frame, std::size_t index)
{
    const double* const values[kK01FieldCount] = {
        &frame.aircraft_velocity_body.x,   &frame.aircraft_velocity_body.y,   &frame.aircraft_velocity_body.z,
        &frame.bank,                       &frame.pitch,                      &frame.rate_of_turn,
        &frame.aircraft_angularvelocity.x, &frame.aircraft_angularvelocity.y, &frame.aircraft_angularvelocity.z,
    };
    return *values[index];
}

double& K01Value(MotionFrame& frame, std::size_t index)
{
    return const_cast<double&>(K01Value(static_cast<const MotionFrame&>(frame), index));
}

void EncodeK01(const MotionFrame& frame, std::uint8_t (&msg)[kK01Size])
{
    std::memcpy(msg, kK01LeadIn, kK01TimeOffset);
    PutU32(msg + kK01TimeOffset, K01TimeField(frame.time));
    for (std::size_t i = 0; i < kK01FieldCount; ++i)
        PutF32(msg + kK01Fields[i].offset, K01Value(frame, i));
}
