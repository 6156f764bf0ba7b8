#pragma once

// The aircraft's motion at one moment, as the built-in flight and the CSV
// files give it to both emulators: the twelve quantities the bridge asks the
// simulator for, in SI units and in the order of its data definition, and
// the rate of turn, which only the plug-in's host sends.
//
// The flight's own signs, physical ones: body Z points forward, X right, Y
// up; bank positive with the right wing down, pitch positive nose up, heading
// true from 0 to 2 pi; the rotation velocity about body Z is the roll rate
// (rolling right positive), about X the pitch rate (pitching up), about Y the
// yaw rate (yawing right). kinemora-simulator delivers them with MSFS's signs
// (InMsfsSigns), kinemora-host as the plug-in's host sends them.

#include "motion_fields.h"

#include <cstddef>

enum Field : std::size_t {
    kVelocityBodyZ, kVelocityBodyX, kVelocityBodyY,                         // m/s
    kAccelerationBodyZ, kAccelerationBodyX, kAccelerationBodyY,             // m/s^2
    kBank, kPitch, kHeading,                                                // radians
    kRotationVelocityBodyZ, kRotationVelocityBodyX, kRotationVelocityBodyY, // radians per second
    kRateOfTurn,                                                            // radians per second
    kFieldCount
};

// The fields the bridge's data definition carries: all but the rate of turn,
// in the order of the K2 datagram's floats.
constexpr std::size_t kQuantityCount = kRateOfTurn;
static_assert(kQuantityCount == kK2FieldCount, "one K2 float per quantity");

struct FlightState {
    double values[kFieldCount] = {};
};

// One frame of a flight: when it is due (seconds from the start of play), the
// simulation time it shows (seconds) and the state.
struct FlightSample {
    double at = 0.0;
    double simulation_time = 0.0;
    FlightState state;
};
