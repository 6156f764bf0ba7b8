#include "signal_datagram.h"

#include "k01_datagram.h"
#include "k2_datagram.h"

#include <cstring>

static_assert(kK01Size <= kK2Size, "room for either datagram");

SignalDatagram K01SignalDatagram(const SignalField& field, double value, double seconds)
{
    MotionFrame frame;
    frame.time = seconds;
    K01Value(frame, FloatIndex(field)) = value;

    std::uint8_t msg[kK01Size];
    EncodeK01(frame, msg);
    SignalDatagram datagram;
    std::memcpy(datagram.bytes, msg, kK01Size);
    datagram.length = kK01Size;
    return datagram;
}

SignalDatagram K2SignalDatagram(const SignalField& field, double value, std::uint32_t time_field)
{
    double values[kK2FieldCount] = {};
    values[FloatIndex(field)] = value;
    SignalDatagram datagram;
    EncodeK2(time_field, values, datagram.bytes);
    datagram.length = kK2Size;
    return datagram;
}
