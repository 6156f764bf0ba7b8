#include "microsecond_clock.h"

void MicrosecondClock::Calibrate()
{
    ticks_per_microsecond_ = static_cast<double>(counter_.frequency()) / 1000000.0;
    clock_start_ = counter_.count();
}

std::uint32_t MicrosecondClock::TimeField()
{
    if (first_datagram_) {
        first_datagram_ = false;
        return 0;
    }
    // Unsigned arithmetic keeps the difference defined however far the counter
    // has moved; the cast back gives the signed 64-bit difference.
    const std::int64_t ticks = static_cast<std::int64_t>(static_cast<std::uint64_t>(counter_.count()) -
                                                         static_cast<std::uint64_t>(clock_start_));
    const double elapsed = static_cast<double>(ticks) / ticks_per_microsecond_;

    // Truncation keeps the field at most 10,000,000 exactly when the quotient
    // is below 10,000,001. The test is written so that a NaN restarts too.
    if (elapsed < static_cast<double>(kRestartAfterMicroseconds + 1)) {
        // A counter that ran backwards yields 0 rather than a wrapped value.
        return elapsed > 0.0 ? static_cast<std::uint32_t>(elapsed) : 0;
    }
    Calibrate();
    return 0;
}
