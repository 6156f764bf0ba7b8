#pragma once

#include "histogram.h"

#include <cstdint>

// The gaps between consecutive datagrams as they arrive: smallest, largest,
// median, 99th percentile, jitter and stalls. Memory stays constant however
// long it runs: the smallest and largest gap and the running mean and
// variance are kept exactly, the percentiles come from a Histogram.
class GapStats {
public:
    // arrival_seconds: arrival time on a steady clock, non-decreasing.
    void Add(double arrival_seconds);

    std::uint64_t Arrivals() const { return arrivals_; }
    std::uint64_t GapCount() const { return histogram_.Count(); }
    double First() const { return first_; }
    double Last() const { return last_; }

    // All in seconds; 0 while there is no gap.
    double Smallest() const { return smallest_; }
    double Largest() const { return largest_; }
    double Median() const;
    double Percentile99() const;
    // The standard deviation of the gaps (divided by their number, not one less).
    double Jitter() const;

    // A stall is a gap longer than three times the median gap.
    double StallLimit() const { return 3.0 * Median(); }
    std::uint64_t Stalls() const;
    // The longest stall, which is the largest gap when there is a stall; 0 otherwise.
    double LongestStall() const;

private:
    double Percentile(unsigned percent) const;

    Histogram histogram_;
    std::uint64_t arrivals_ = 0;
    double first_ = 0.0;
    double last_ = 0.0;
    double smallest_ = 0.0;
    double largest_ = 0.0;
    double mean_ = 0.0; // Welford's running mean and sum of squared deviations, in seconds
    double squares_ = 0.0;
};
