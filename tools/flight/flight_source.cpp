#include "flight_source.h"

#include "default_flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

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
    if (table_.SimulationTimed())
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

namespace {

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

} // namespace

bool LoadFlightFile(const std::string& path, DatagramKind kind, const char* program, FlightSource& source)
{
    std::ifstream file(std::filesystem::u8path(path));
    if (!file) {
        std::fprintf(stderr, "%s: cannot read %s: check the path\n", program, path.c_str());
        return false;
    }
    FlightTable table;
    std::string error;
    if (!ReadFlightCsv(file, kind, table, error)) {
        std::fprintf(stderr, "%s: %s: %s\n", program, path.c_str(), error.c_str());
        return false;
    }
    if (!table.ignored.empty())
        std::fprintf(stderr, "%s: %s: ignoring the columns %s\n", program, path.c_str(), Joined(table.ignored).c_str());
    if (!table.missing.empty())
        std::fprintf(stderr, "%s: %s: no column for %s; %s 0 for them\n", program, path.c_str(),
                     Joined(table.missing).c_str(), kind == DatagramKind::K01 ? "sending" : "delivering");
    source = FlightSource(std::move(table), path);
    return true;
}
