#pragma once

#include "gap_stats.h"
#include "time_continuity.h"

#include <kinemora/motion_datagram.h>

#include <cstdint>
#include <string>
#include <vector>

// Everything the closing summary tells: datagrams by kind, the rate and the
// gaps between datagrams, and, per sender, the datagrams and the continuity
// of each kind's time field. Memory is bounded: the gaps take a fixed
// histogram, and only the first kMaxSources sender addresses are told apart.
class ListenStats {
public:
    static constexpr std::size_t kMaxSources = 16;

    // arrival_seconds: arrival time on a steady clock, non-decreasing.
    // source: the sender's address without the port (it changes with every
    // datagram). time_us: the time field; ignored for unrecognised datagrams.
    void Add(double arrival_seconds, const std::string& source, kinemora_kind kind, std::uint32_t time_us);

    std::uint64_t Total() const { return k01_ + k2_ + unrecognised_; }
    std::uint64_t K01() const { return k01_; }
    std::uint64_t K2() const { return k2_; }
    std::uint64_t Unrecognised() const { return unrecognised_; }
    const GapStats& Gaps() const { return gaps_; }

    // The counts, then the rate and the smallest and largest gap (these two
    // lines as they always were), then the gaps' median, 99th percentile,
    // jitter and stalls, the datagrams per sender when there are several, and
    // one line per sender and kind on its time field.
    std::string Summary() const;

private:
    struct Source {
        explicit Source(const std::string& a) : address(a) {}
        std::string address;
        std::uint64_t k01 = 0, k2 = 0, unrecognised = 0;
        TimeContinuity k01_time{KINEMORA_K01};
        TimeContinuity k2_time{KINEMORA_K2};
    };
    Source* Find(const std::string& address);

    std::uint64_t k01_ = 0;
    std::uint64_t k2_ = 0;
    std::uint64_t unrecognised_ = 0;
    GapStats gaps_;
    std::vector<Source> sources_;
    std::uint64_t other_sources_datagrams_ = 0; // from addresses beyond the first kMaxSources
};
