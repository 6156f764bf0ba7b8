#include "flight_source.h"

#include "default_flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

FlightSource::FlightSource(FlightTable table, std::string name)
    : built_in_(false), table_(std::move(table)), name_(std::move(name))
{
}

double FlightSource::Period() const
{
    const std::vector<double>& t = table_.times;
    // The last row lasts as long as the gap before it (a single row: one second).
    const double last_gap = t.size() > 1 ? t.back() - t[t.size() - 2] : 1.0;
    return t.back() - t.front() + (last_gap > 0.0 ? last_gap : 1.0);
}

FlightSample FlightSource::Sample(std::uint64_t frame, double rate_hz) const
{
    FlightSample sample;
    if (built_in_) {
        sample.at = static_cast<double>(frame) / rate_hz;
        sample.simulation_time = start_ + sample.at;
        sample.state = DefaultFlight(sample.simulation_time);
        return sample;
    }
    const std::uint64_t rows = table_.rows.size();
    std::uint64_t row = 0;
    if (Recording()) {
        const std::vector<double>& t = table_.times;
        const auto first = std::lower_bound(t.begin(), t.end(), t.front() + start_);
        const std::uint64_t k = static_cast<std::uint64_t>(first - t.begin()) + frame;
        row = k % rows;
        sample.at = static_cast<double>(k / rows) * Period() + (t[row] - t.front()) - start_;
        sample.simulation_time = t[row];
    } else {
        const std::uint64_t skipped = static_cast<std::uint64_t>(std::llround(start_ * rate_hz));
        row = (frame + skipped) % rows;
        sample.at = static_cast<double>(frame) / rate_hz;
        sample.simulation_time = start_ + sample.at;
    }
    if (table_.simulation_timed)
        sample.simulation_time = table_.simulation_times[row];
    sample.state = table_.rows[row];
    return sample;
}

double FlightSource::Duration(double rate_hz) const
{
    const double whole = built_in_ ? kDefaultFlightSeconds
                         : Recording() ? Period()
                                       : static_cast<double>(table_.rows.size()) / rate_hz;
    return whole > start_ ? whole - start_ : 0.0;
}

std::string FlightSource::Description() const
{
    if (built_in_)
        return "the built-in flight (take-off, climb, turns, landing; " +
               std::to_string(static_cast<int>(kDefaultFlightSeconds)) + " s)";
    const std::string rows = std::to_string(table_.rows.size()) + " rows";
    if (!Recording())
        return name_ + " (" + rows + ", one per frame)";
    char seconds[32];
    std::snprintf(seconds, sizeof(seconds), "%.3f", Period());
    return "recording " + name_ + " (" + rows + " over " + seconds + " s, played at their own times)";
}
