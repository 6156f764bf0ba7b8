#include "flight_source.h"

#include "default_flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

FlightSource::FlightSource(CsvProfile profile, std::string name)
    : built_in_(false), profile_(std::move(profile)), name_(std::move(name))
{
    if (profile_.timed) {
        const std::vector<double>& t = profile_.times;
        // The last row lasts as long as the gap before it (a single row: one second).
        const double last_gap = t.size() > 1 ? t.back() - t[t.size() - 2] : 1.0;
        period_ = t.back() - t.front() + (last_gap > 0.0 ? last_gap : 1.0);
    }
}

FlightState FlightSource::Frame(std::uint64_t frame, double rate_hz) const
{
    const double seconds = start_ + static_cast<double>(frame) / rate_hz;
    if (built_in_)
        return DefaultFlight(seconds);
    if (!profile_.timed) {
        const std::uint64_t skipped = static_cast<std::uint64_t>(std::llround(start_ * rate_hz));
        return profile_.rows[(frame + skipped) % profile_.rows.size()];
    }
    const std::vector<double>& t = profile_.times;
    const double target = t.front() + std::fmod(seconds, period_);
    const auto after = std::upper_bound(t.begin(), t.end(), target);
    const std::size_t row = after == t.begin() ? 0 : static_cast<std::size_t>(after - t.begin()) - 1;
    return profile_.rows[row];
}

std::string FlightSource::Description() const
{
    if (built_in_)
        return "the built-in flight (take-off, climb, turns, landing; " +
               std::to_string(static_cast<int>(kDefaultFlightSeconds)) + " s, repeating)";
    const std::string rows = std::to_string(profile_.rows.size()) + " rows";
    if (!profile_.timed)
        return "profile " + name_ + " (" + rows + ", one per frame, repeating)";
    char seconds[32];
    std::snprintf(seconds, sizeof(seconds), "%.3f", period_);
    return "profile " + name_ + " (" + rows + " over " + seconds + " s, repeating)";
}
