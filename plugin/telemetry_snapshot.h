#pragma once

// The one piece of state the frame path shares with the monitor window.

#include "tm_external_message.h"

#include <cstdint>
#include <mutex>

struct TelemetrySnapshot {
    std::uint32_t counter = 0; // frames recorded since load or the last Clear; wraps
    double time = 0.0;         // simulation time of the latest recorded frame, seconds
    Vector3d trace[30];        // body-frame velocity; [0] newest, [29] oldest

    // Zeroes every field. Takes snapshot_mutex, since a monitor may be reading.
    void Clear();
    // Under snapshot_mutex: stores time, counts the frame, shifts the trace one
    // place towards the end and puts velocity at [0].
    void RecordFrame(double time, const Vector3d& velocity);
    // A complete copy, taken under snapshot_mutex.
    TelemetrySnapshot CopyOut() const;
};

extern TelemetrySnapshot telemetry_snapshot;
extern std::mutex snapshot_mutex;
