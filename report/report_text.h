#pragma once

// The pieces both reports are made of: spreads of measured values, counts per
// second, local times, the sending section, and the file written anew.

#include "histogram.h"
#include "outbox.h"

#include <cstdint>
#include <ctime>
#include <string>

// "lowest 58, median 60, highest 61", or "none yet".
std::string Spread(const Histogram& values);

// Durations counted in nanoseconds, in microseconds: "median 3.2 us, 99th
// percentile 6.1 us, largest 41.0 us", or "none yet".
std::string Timing(const Histogram& nanoseconds);

// Events counted in each whole second of a clock, from the first event on; a
// second without one counts 0. The second under way is not counted yet.
class PerSecond {
public:
    void Add(double seconds);
    const Histogram& Counts() const { return counts_; }

private:
    Histogram counts_;
    bool started_ = false;
    double second_start_ = 0.0;
    std::uint64_t in_second_ = 0;
};

// "2026-12-10 01:23:45", local time.
std::string LocalTime(std::time_t when);

// The sending section: datagrams, failures by kind with what each means, and
// the destinations.
std::string SendingSection(const SendTally& tally, const std::string& destinations);

// Writes the whole file anew: text goes to path.partial first, which then
// replaces path, so that a reader never finds half a report. Lines end in
// CRLF on Windows. False when it could not.
bool WriteReportFile(const std::string& path, const std::string& text);
