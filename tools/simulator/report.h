#pragma once

// What the emulator tells its user: events on standard output, one line each,
// flushed at once; warnings and departures from the bridge's fixed calls on
// standard error, the departures counted.

#include <cstdint>
#include <string>

void Say(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

void Warn(const std::string& text);

void Departure(const std::string& text);
std::uint64_t DepartureCount();

// The monotonic clock in seconds, the same clock as CLOCK_MONOTONIC on Linux,
// so that other programs on the machine can compare their own times with it.
double MonotonicSeconds();
