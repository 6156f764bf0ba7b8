#pragma once

// One host frame: decode the messages, pick out the aircraft's motion, send
// the 44-byte K01 datagram and record the frame in the telemetry snapshot.

#include "k01_datagram.h"
#include "plugin_state.h"
#include "tm_external_message.h"

#include <cstdint>
#include <vector>

// Values above 3.0 have 6.0 taken off once; 3.0 itself and NaN stay.
double AdjustBank(double bank);

// Walks the records in order; for each of the six known identifiers the last
// record of the frame wins. The velocity counts only with the BodyFrame flag.
MotionFrame ReadMotionFrame(const std::vector<tm_external_message>& MessageListReceive);

// Where a finished datagram goes: the broadcast sender, or a test's capture.
using DatagramSink = void (*)(const void* data, std::int32_t length);

// The whole of one Update call, on the plug-in's state. A frame without
// records (count 0, or a null stream) sends and records nothing and leaves
// the first-datagram rule alone. The first frame with records carries time 0.
void RunFrame(PluginState& state, const std::uint8_t* stream, std::uint32_t count, DatagramSink send);
