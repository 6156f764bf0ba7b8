#pragma once

// One host frame: decode the messages, pick out the aircraft's motion, send
// the 44-byte K01 datagram and record the frame in the telemetry snapshot.

#include "plugin_state.h"
#include "tm_external_message.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kK01Size = 44;

// The values one frame carries; each starts at zero in every frame.
struct MotionFrame {
    double pitch = 0.0;
    double bank = 0.0;
    double rate_of_turn = 0.0;
    double time = 0.0; // simulation time, seconds
    Vector3d aircraft_angularvelocity;
    Vector3d aircraft_velocity_body;
};

// Values above 3.0 have 6.0 taken off once; 3.0 itself and NaN stay.
double AdjustBank(double bank);

// Walks the records in order; for each of the six known identifiers the last
// record of the frame wins. The velocity counts only with the BodyFrame flag.
MotionFrame ReadMotionFrame(const std::vector<tm_external_message>& MessageListReceive);

// Simulation seconds as microseconds truncated toward zero, low 25 bits.
// NaN, infinities and products outside [-2^63, 2^64) give 0.
std::uint32_t K01TimeField(double seconds);

// "K01,", the time field, then velocity x y z, bank, pitch, rate of turn and
// angular velocity x y z as little-endian 32-bit floats.
void EncodeK01(const MotionFrame& frame, std::uint8_t (&msg)[kK01Size]);

// Where a finished datagram goes: the broadcast sender, or a test's capture.
using DatagramSink = void (*)(const void* data, std::int32_t length);

// The whole of one Update call, on the plug-in's state. A frame without
// records (count 0, or a null stream) sends and records nothing and leaves
// the first-datagram rule alone. The first frame with records carries time 0.
void RunFrame(PluginState& state, const std::uint8_t* stream, std::uint32_t count, DatagramSink send);
