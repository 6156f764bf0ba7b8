#pragma once

// When each datagram goes out: datagram n at start + n / rate on a monotonic
// clock, so that a late wake-up never delays the datagrams after it (sleeps
// that add up would drift by their overshoot each time). A datagram found
// late by more than kLongestCatchUp (the machine slept, or the console held
// the program) moves the whole schedule on by its lateness instead: the
// signal goes on where it stood rather than rushing through what was missed.

#include <cstdint>

class Pacer {
public:
    static constexpr double kLongestCatchUp = 0.25; // seconds

    explicit Pacer(double rate) : rate_(rate) {}

    // Seconds after the start at which datagram n is due; now is the clock's
    // reading in seconds after the start. Late by more than kLongestCatchUp,
    // the schedule moves on and n is due now.
    double Due(std::uint64_t n, double now);

    // Seconds the schedule has moved on in all, and how many times.
    double Shift() const { return shift_; }
    std::uint64_t Stalls() const { return stalls_; }

private:
    double rate_;
    double shift_ = 0.0;
    std::uint64_t stalls_ = 0;
};
