#include "flight_profile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr double kGravity = 9.81;
constexpr double kTwoPi = 6.283185307179586;

// A waypoint of the built-in flight: attitude and airspeed to reach by its time.
struct Target {
    double time, airspeed, pitch, bank, climb_rate;
};

// Take-off at 0 s, lift-off about 22 s, turns from 45 to 85 s, touch-down at 112 s.
const Target kDefaultFlight[] = {
    {0.0, 0.0, 0.0, 0.0, 0.0},       {18.0, 36.0, 0.0, 0.0, 0.0},     {22.0, 40.0, 0.17, 0.0, 2.0},
    {30.0, 48.0, 0.14, 0.0, 5.5},    {45.0, 55.0, 0.10, 0.0, 5.0},    {52.0, 55.0, 0.06, 0.45, 2.0},
    {62.0, 55.0, 0.05, 0.45, 1.0},   {68.0, 55.0, 0.04, 0.0, 0.0},    {74.0, 55.0, 0.04, -0.50, 0.0},
    {82.0, 55.0, 0.04, -0.50, 0.0},  {86.0, 52.0, 0.02, 0.0, -1.0},   {96.0, 46.0, -0.05, 0.0, -4.0},
    {106.0, 40.0, -0.03, 0.05, -3.0}, {110.0, 36.0, 0.08, 0.0, -0.8}, {112.0, 34.0, 0.06, 0.0, 0.0},
    {116.0, 24.0, 0.0, 0.0, 0.0},    {120.0, 12.0, 0.0, 0.0, 0.0},
};

double Smooth(double a, double b, double f)
{
    const double s = f * f * (3.0 - 2.0 * f);
    return a + (b - a) * s;
}

// Attitude and speed of the built-in flight, eased between waypoints.
void DefaultState(double t, double& airspeed, double& pitch, double& bank, double& climb)
{
    const std::size_t n = sizeof(kDefaultFlight) / sizeof(kDefaultFlight[0]);
    t = std::clamp(t, 0.0, kDefaultFlight[n - 1].time);
    std::size_t i = 1;
    while (i < n - 1 && kDefaultFlight[i].time < t)
        ++i;
    const Target& a = kDefaultFlight[i - 1];
    const Target& b = kDefaultFlight[i];
    const double f = (t - a.time) / (b.time - a.time);
    airspeed = Smooth(a.airspeed, b.airspeed, f);
    pitch = Smooth(a.pitch, b.pitch, f);
    bank = Smooth(a.bank, b.bank, f);
    climb = Smooth(a.climb_rate, b.climb_rate, f);
}

double RateOfTurn(double airspeed, double bank)
{
    return airspeed > 1.0 ? kGravity * std::tan(bank) / airspeed : 0.0;
}

// heading and altitude are integrated by the caller.
FlightSample DefaultSample(double t, double heading, double altitude)
{
    FlightSample s;
    double airspeed, climb;
    DefaultState(t, airspeed, s.pitch, s.bank, climb);
    s.heading = std::fmod(heading, kTwoPi);
    s.altitude = altitude;
    s.rate_of_turn = RateOfTurn(airspeed, s.bank);

    const double alpha = airspeed > 1.0 ? std::atan2(climb, airspeed) - s.pitch : 0.0;
    s.velocity_body[0] = airspeed * std::cos(alpha);
    s.velocity_body[1] = 0.0;
    s.velocity_body[2] = -airspeed * std::sin(alpha);
    s.velocity_world[0] = airspeed * std::cos(s.heading);
    s.velocity_world[1] = airspeed * std::sin(s.heading);
    s.velocity_world[2] = -climb;

    // Body rates from the change of attitude, plus the turn seen in body axes.
    double v1, p1, b1, c1, v0, p0, b0, c0;
    DefaultState(t + 0.01, v1, p1, b1, c1);
    DefaultState(t - 0.01, v0, p0, b0, c0);
    s.angular_velocity[0] = (b1 - b0) / 0.02;
    s.angular_velocity[1] = (p1 - p0) / 0.02 + s.rate_of_turn * std::sin(s.bank);
    s.angular_velocity[2] = s.rate_of_turn * std::cos(s.bank);
    return s;
}

double* Field(FlightSample& s, const std::string& column)
{
    static const struct {
        const char* name;
        double* (*get)(FlightSample&);
    } fields[] = {
        {"pitch", [](FlightSample& f) { return &f.pitch; }},
        {"bank", [](FlightSample& f) { return &f.bank; }},
        {"heading", [](FlightSample& f) { return &f.heading; }},
        {"rate_of_turn", [](FlightSample& f) { return &f.rate_of_turn; }},
        {"velocity_body_x", [](FlightSample& f) { return &f.velocity_body[0]; }},
        {"velocity_body_y", [](FlightSample& f) { return &f.velocity_body[1]; }},
        {"velocity_body_z", [](FlightSample& f) { return &f.velocity_body[2]; }},
        {"velocity_world_x", [](FlightSample& f) { return &f.velocity_world[0]; }},
        {"velocity_world_y", [](FlightSample& f) { return &f.velocity_world[1]; }},
        {"velocity_world_z", [](FlightSample& f) { return &f.velocity_world[2]; }},
        {"angular_velocity_x", [](FlightSample& f) { return &f.angular_velocity[0]; }},
        {"angular_velocity_y", [](FlightSample& f) { return &f.angular_velocity[1]; }},
        {"angular_velocity_z", [](FlightSample& f) { return &f.angular_velocity[2]; }},
        {"altitude", [](FlightSample& f) { return &f.altitude; }},
    };
    for (const auto& field : fields)
        if (column == field.name)
            return field.get(s);
    return nullptr;
}

const double* Field(const FlightSample& s, const std::string& column)
{
    return Field(const_cast<FlightSample&>(s), column);
}

std::vector<std::string> SplitCsv(const std::string& line)
{
    std::vector<std::string> cells;
    std::stringstream stream(line);
    std::string cell;
    while (std::getline(stream, cell, ','))
        cells.push_back(cell);
    if (!line.empty() && line.back() == ',')
        cells.emplace_back();
    for (std::string& c : cells) {
        c.erase(0, c.find_first_not_of(" \t\r"));
        c.erase(c.find_last_not_of(" \t\r") + 1);
    }
    return cells;
}

} // namespace

FlightProfile FlightProfile::Default()
{
    // Sampled every 50 ms; At() interpolates between the samples.
    constexpr double step = 0.05;
    FlightProfile profile;
    const double end = kDefaultFlight[sizeof(kDefaultFlight) / sizeof(kDefaultFlight[0]) - 1].time;
    double heading = 1.2, altitude = 120.0;
    for (int i = 0; i * step <= end + 1e-9; ++i) {
        const double t = i * step;
        profile.rows_.push_back({t, DefaultSample(t, heading, altitude)});
        double airspeed, pitch, bank, climb;
        DefaultState(t, airspeed, pitch, bank, climb);
        heading += RateOfTurn(airspeed, bank) * step;
        altitude += climb * step;
    }
    return profile;
}

const std::vector<std::string>& FlightProfile::CsvColumns()
{
    static const std::vector<std::string> columns = {
        "time_s", "pitch", "bank", "heading", "rate_of_turn",
        "velocity_body_x", "velocity_body_y", "velocity_body_z",
        "velocity_world_x", "velocity_world_y", "velocity_world_z",
        "angular_velocity_x", "angular_velocity_y", "angular_velocity_z", "altitude"};
    return columns;
}

bool FlightProfile::LoadCsv(const std::string& path, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    if (!std::getline(file, line)) {
        error = path + " is empty; it needs a header line with time_s and other columns";
        return false;
    }
    const std::vector<std::string> header = SplitCsv(line);
    int time_column = -1;
    FlightSample probe;
    for (std::size_t c = 0; c < header.size(); ++c) {
        if (header[c] == "time_s")
            time_column = static_cast<int>(c);
        else if (!Field(probe, header[c])) {
            error = path + ": unknown column '" + header[c] + "'";
            return false;
        }
    }
    if (time_column < 0) {
        error = path + ": the header needs a time_s column";
        return false;
    }
    std::vector<Row> rows;
    for (int number = 2; std::getline(file, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const std::vector<std::string> cells = SplitCsv(line);
        if (cells.size() != header.size()) {
            error = path + ":" + std::to_string(number) + ": " + std::to_string(cells.size()) +
                    " values, but the header has " + std::to_string(header.size()) + " columns";
            return false;
        }
        Row row;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            char* end = nullptr;
            const double value = std::strtod(cells[c].c_str(), &end);
            if (cells[c].empty() || *end != '\0') {
                error = path + ":" + std::to_string(number) + ": '" + cells[c] + "' is not a number";
                return false;
            }
            if (static_cast<int>(c) == time_column)
                row.time = value;
            else
                *Field(row.sample, header[c]) = value;
        }
        if (!rows.empty() && !(row.time > rows.back().time)) {
            error = path + ":" + std::to_string(number) + ": time_s must increase from row to row";
            return false;
        }
        rows.push_back(row);
    }
    if (rows.empty()) {
        error = path + " has a header but no rows";
        return false;
    }
    rows_ = std::move(rows);
    return true;
}

double FlightProfile::Duration() const
{
    return rows_.empty() ? 0.0 : rows_.back().time - rows_.front().time;
}

FlightSample FlightProfile::At(double seconds) const
{
    if (rows_.empty())
        return FlightSample{};
    const double t = rows_.front().time + seconds;
    auto after = std::upper_bound(rows_.begin(), rows_.end(), t,
                                  [](double value, const Row& row) { return value < row.time; });
    if (after == rows_.begin())
        return rows_.front().sample;
    if (after == rows_.end())
        return rows_.back().sample;
    const Row& a = *(after - 1);
    const Row& b = *after;
    const double f = (t - a.time) / (b.time - a.time);
    FlightSample s = a.sample;
    for (const std::string& column : CsvColumns()) {
        if (column == "time_s")
            continue;
        const double from = *Field(a.sample, column);
        *Field(s, column) = from + (*Field(b.sample, column) - from) * f;
    }
    return s;
}
