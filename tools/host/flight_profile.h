#pragma once

// Where the host emulator's aircraft is at a given moment: the built-in
// default flight, or a CSV profile interpolated between its rows.

#include <string>
#include <vector>

// Body axes: x forward, y right, z down. Angles in radians, rates in radians
// per second, velocities in metres per second.
struct FlightSample {
    double pitch = 0.0;
    double bank = 0.0;
    double heading = 0.0;
    double rate_of_turn = 0.0;
    double velocity_body[3] = {0.0, 0.0, 0.0};
    double velocity_world[3] = {0.0, 0.0, 0.0}; // north, east, down
    double angular_velocity[3] = {0.0, 0.0, 0.0}; // roll, pitch, yaw rates
    double altitude = 0.0; // metres
};

class FlightProfile {
public:
    // The built-in flight: take-off roll, climb, a right and a left turn,
    // descent and landing, 120 seconds in all.
    static FlightProfile Default();

    // Reads a CSV profile (see CsvColumns()). Returns false with a message
    // naming the line for a file that cannot be used.
    bool LoadCsv(const std::string& path, std::string& error);

    double Duration() const;
    FlightSample At(double seconds) const;

    // The columns a CSV profile may have; time_s is required, the others default to 0.
    static const std::vector<std::string>& CsvColumns();

private:
    struct Row {
        double time = 0.0;
        FlightSample sample;
    };
    std::vector<Row> rows_;
};
