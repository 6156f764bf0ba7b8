#pragma once

#include <cstdint>
#include <string>

#include <kinemora/motion_datagram.h>

// Counts datagrams by kind and measures their pace, for the closing summary.
class ListenStats {
public:
    // arrival_seconds: arrival time on a steady clock, non-decreasing.
    void Add(kinemora_kind kind, double arrival_seconds);

    std::uint64_t Total() const { return k01_ + k2_ + unrecognised_; }
    std::uint64_t K01() const { return k01_; }
    std::uint64_t K2() const { return k2_; }
    std::uint64_t Unrecognised() const { return unrecognised_; }

    // Two lines: the counts, then the rate and the smallest and largest gap.
    std::string Summary() const;

private:
    std::uint64_t k01_ = 0;
    std::uint64_t k2_ = 0;
    std::uint64_t unrecognised_ = 0;
    double first_ = 0.0;
    double last_ = 0.0;
    double min_gap_ = 0.0;
    double max_gap_ = 0.0;
};
