#pragma once

// K01, as the Aerofly plug-ins send it: "K01,", the time field, then velocity
// x y z, bank, pitch, rate of turn and angular velocity x y z as little-endian
// 32-bit floats, at the offsets of motion_fields.h.

#include "motion_fields.h"
#include "vector3d.h"

#include <cstddef>
#include <cstdint>

// The values one frame carries; each starts at zero in every frame.
struct MotionFrame {
    double pitch = 0.0;
    double bank = 0.0;
    double rate_of_turn = 0.0;
    double time = 0.0; // simulation time, seconds
    Vector3d aircraft_angularvelocity;
    Vector3d aircraft_velocity_body;
};

// Simulation seconds as microseconds truncated toward zero, low 25 bits.
// NaN, infinities and products outside [-2^63, 2^64) give 0.
std::uint32_t K01TimeField(double seconds);

// The frame's value behind K01 float index (0 to 8), row for row with kK01Fields.
const double& K01Value(const MotionFrame& frame, std::size_t index);
double& K01Value(MotionFrame& frame, std::size_t index);

// Fills all 44 bytes. Each value is narrowed to the nearest single float,
// ties to even; beyond the single range it becomes an infinity of the same
// sign, and a NaN stays a NaN.
void EncodeK01(const MotionFrame& frame, std::uint8_t (&msg)[kK01Size]);
