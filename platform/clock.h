#pragma once

// The high-resolution counter and sleeping. One file per platform.

#include <cstdint>

void SleepMilliseconds(std::uint32_t milliseconds);

// The high-resolution counter: ticks per second, and the current tick count.
std::int64_t ReadCounterFrequency();
std::int64_t ReadCounter();
