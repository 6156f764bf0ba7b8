#pragma once

// One datagram of the test signal, made by the deliverables' own encoders,
// EncodeK01 and EncodeK2. One field carries the value; every other is 0.

#include "signal_fields.h"

#include <cstddef>
#include <cstdint>

struct SignalDatagram {
    std::uint8_t bytes[kK2Size] = {}; // large enough for either format
    std::size_t length = 0; // kK01Size or kK2Size
};

// K01: the time field is K01TimeField(seconds), the microseconds kept to
// their low 25 bits. Values go out as they are (a bank above 3.0 too).
SignalDatagram K01SignalDatagram(const SignalField& field, double value, double seconds);

// K2: the time field as given, from the bridge's MicrosecondClock.
SignalDatagram K2SignalDatagram(const SignalField& field, double value, std::uint32_t time_field);
