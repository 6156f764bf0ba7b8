#pragma once

// The bridge's platform seam: network start-up, timer resolution, sleeping
// and the high-resolution counter.

#include <cstdint>

// Starts Windows Sockets 2.2; nothing to do on POSIX. The result is not examined.
void StartSockets();

// Makes sleeps last about what they ask for for the rest of the program: 1 ms
// timer resolution on Windows, which otherwise sleeps in 15.6 ms steps.
void RaiseTimerResolution();

void SleepMilliseconds(std::uint32_t milliseconds);

// The high-resolution counter: ticks per second, and the current tick count.
std::int64_t ReadCounterFrequency();
std::int64_t ReadCounter();
