#pragma once

// Where the emulator's frames come from: the built-in flight or a CSV profile.
// Both repeat from the start when they run out.

#include "csv_profile.h"
#include "flight_state.h"

#include <cstdint>
#include <string>

class FlightSource {
public:
    // The built-in default flight.
    FlightSource() = default;
    explicit FlightSource(CsvProfile profile, std::string name);

    // Frame 0 shows the flight this many seconds in (0 unless set).
    void StartAt(double seconds) { start_ = seconds; }

    // The state in a frame, counting frames from 0 at rate_hz frames per second.
    FlightState Frame(std::uint64_t frame, double rate_hz) const;

    std::string Description() const;

private:
    bool built_in_ = true;
    CsvProfile profile_;
    std::string name_;
    double period_ = 0.0; // seconds of a timed profile before it repeats
    double start_ = 0.0;
};
