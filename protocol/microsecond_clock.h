#pragma once

// The running microsecond clock of the K2 time field, over a high-resolution
// counter that the caller supplies (the system's in the bridge, a scripted one
// in tests).

#include <cstdint>

struct PerformanceCounter {
    std::int64_t (*frequency)(); // ticks per second
    std::int64_t (*count)();     // current tick count
};

class MicrosecondClock {
public:
    // The clock restarts with the first time field taken after this many microseconds.
    static constexpr std::uint64_t kRestartAfterMicroseconds = 10000000;

    explicit MicrosecondClock(PerformanceCounter counter) : counter_(counter) {}

    // Reads the frequency, then the counter as the clock start.
    void Calibrate();

    // The time field of the next datagram: 0 for the program's first one
    // (without reading the counter); otherwise the microseconds since the clock
    // start, truncated, while they are at most 10,000,000; beyond that the clock
    // is calibrated again and the field is 0.
    std::uint32_t TimeField();

private:
    PerformanceCounter counter_;
    double ticks_per_microsecond_ = 0.0;
    std::int64_t clock_start_ = 0;
    bool first_datagram_ = true;
};
