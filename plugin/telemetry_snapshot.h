#pragma once

// The one piece of state the frame path shares with the monitor window: a
// plain record, copied as a whole. Its owner (plugin_state.h) guards it with
// snapshot_mutex.

#include "tm_external_message.h"

#include <cstdint>

struct TelemetrySnapshot {
    std::uint32_t counter = 0; // frames recorded since load or the last Clear; wraps
    double time = 0.0;         // simulation time of the latest recorded frame, seconds
    Vector3d trace[30];        // body-frame velocity; [0] newest, [29] oldest

    // Stores time, counts the frame, shifts the trace one place towards the
    // end and puts velocity at [0]. Takes no lock: the caller holds it.
    void Record(double time, const Vector3d& velocity);
};
