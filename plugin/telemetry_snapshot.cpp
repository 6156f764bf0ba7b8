#include "telemetry_snapshot.h"

#include <cstddef>
#include <iterator>

void TelemetrySnapshot::Record(double frame_time, const Vector3d& velocity)
{
    time = frame_time;
    ++counter; // Unsigned, so it wraps from 4294967295 to 0.
    for (std::size_t i = std::size(trace) - 1; i > 0; --i)
        trace[i] = trace[i - 1];
    trace[0] = velocity;
}
