#pragma once

// The plug-in's side of the flight: the six motion messages that Aerofly FS 2
// hands its plug-ins each frame, in the host's body axes (x forward, y right,
// z down) and SI units; and the way back from a K01 datagram's fields to the
// flight, so that a K01 recording replays through the plug-in bit for bit.

#include "flight_state.h"

#include <cstdint>
#include <string>

struct PluginMessages {
    double simulation_time = 0.0;    // seconds
    double pitch = 0.0;              // radians
    double bank = 0.0;               // radians
    double rate_of_turn = 0.0;       // radians per second
    double velocity_body[3] = {};    // x forward, y right, z down; m/s
    double velocity_world[3] = {};   // north, east, down; m/s
    double angular_velocity[3] = {}; // roll, pitch and yaw rates; radians per second
};

PluginMessages ToPluginMessages(const FlightSample& sample);

// Where a column of K01 datagram fields goes in the flight. The plug-in sends
// the body velocity and the angular velocity as the host gives them, and bank
// after its adjustment, so reading them back takes the axes' mapping undone.
enum class Transform { Same, Negated, UndoBankAdjustment };
struct ColumnTarget {
    Field field;
    Transform transform;
};

// A K01 field by the name kinemora-listen gives it (velocity_x, bank,
// angular_velocity_z, ...; name lower-case, without its "k01_" prefix). Bank
// and pitch name the flight's own angles unless prefixed: only a recorded
// bank went through the plug-in's adjustment.
bool FindK01Column(const std::string& name, bool prefixed, ColumnTarget& target);

// The K01 field that carries a field of the flight, or null for one that K01
// does not carry (the accelerations and heading).
const char* K01ColumnOf(Field field);

// value moved onto the flight's field; exact, so recorded floats come back as they were.
double ApplyTransform(Transform transform, double value);

// A simulation time from which the plug-in makes exactly this K01 time field.
double SimulationTimeForTimeField(std::uint32_t time_us);
