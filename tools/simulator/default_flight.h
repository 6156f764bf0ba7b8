#pragma once

// The built-in flight: a take-off from standstill, a climb, a left turn, a
// right turn, a descent with a second left turn, a flare and touchdown, the
// roll-out and a stop; then it starts again. Smooth throughout, so the motion
// platform gets no jolts but the touchdown's.
//
// Conventions of this emulator: body Z points forward, X right, Y up; bank is
// positive with the right wing down, pitch positive nose up; the rotation
// velocity about body X is the pitch rate, about Y the yaw rate, about Z the
// roll rate.

#include "flight_state.h"

constexpr double kDefaultFlightSeconds = 300.0;

// The state at a time into the flight, in seconds; repeats every kDefaultFlightSeconds.
FlightState DefaultFlight(double seconds);
