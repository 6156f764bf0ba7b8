#pragma once

// The flight as X-Plane's DataRefs give it (xplane_motion.h): the values the
// stand-in answers with, in X-Plane's own axes, units and signs.

#include "flight_state.h"
#include "xplane_motion.h"

void XPlaneValues(const FlightState& state, double (&values)[kXPlaneValueCount]);
