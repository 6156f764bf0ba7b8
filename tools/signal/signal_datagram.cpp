#include "signal_datagram.h"

#include "motion_datagram.h"
#include "motion_frame.h"

#include <cstring>

static_assert(sizeof(SignalDatagram::bytes) == kMotionDatagramSize && kK01Size <= kMotionDatagramSize,
              "room for either datagram");

SignalDatagram K01SignalDatagram(const SignalField& field, double value, double seconds)
{
    MotionFrame frame;
    frame.time = seconds;
    double* const slots[] = {
        &frame.aircraft_velocity_body.x,   &frame.aircraft_velocity_body.y,   &frame.aircraft_velocity_body.z,
        &frame.bank,                       &frame.pitch,                      &frame.rate_of_turn,
        &frame.aircraft_angularvelocity.x, &frame.aircraft_angularvelocity.y, &frame.aircraft_angularvelocity.z,
    };
    static_assert(sizeof(slots) / sizeof(slots[0]) == 9, "K01 carries nine floats");
    *slots[field.slot] = value;

    std::uint8_t msg[kK01Size];
    EncodeK01(frame, msg);
    SignalDatagram datagram;
    std::memcpy(datagram.bytes, msg, kK01Size);
    datagram.length = kK01Size;
    return datagram;
}

SignalDatagram K2SignalDatagram(const SignalField& field, double value, std::uint32_t time_field)
{
    double values[kMotionValueCount] = {};
    values[field.slot] = value;
    MotionDatagram motion;
    WriteMotionDatagram(time_field, values, motion);
    SignalDatagram datagram;
    std::memcpy(datagram.bytes, motion.bytes, kMotionDatagramSize);
    datagram.length = kMotionDatagramSize;
    return datagram;
}
