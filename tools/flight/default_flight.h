#pragma once

// The built-in flight of both emulators: ten seconds at rest on the runway, a
// take-off roll, a climb, a left turn, a right turn, a descent with a second
// left turn, a flare and touchdown, the roll-out and a stop; then it starts
// again. Smooth throughout, so the motion platform gets no jolts but the
// touchdown's. Axes and signs as in flight_state.h.

#include "flight_state.h"

constexpr double kDefaultFlightSeconds = 300.0;

// The state at a time into the flight, in seconds; repeats every kDefaultFlightSeconds.
FlightState DefaultFlight(double seconds);
