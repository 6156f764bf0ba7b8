#pragma once

// Where an emulator's frames come from: the built-in flight, a CSV file of one
// row per frame, or a recording (a CSV file with a time column), whose rows
// are played at their own times. All of them repeat after their last frame.

#include "flight_csv.h"
#include "flight_state.h"

#include <cstdint>
#include <string>

class FlightSource {
public:
    // The built-in flight.
    FlightSource() = default;
    FlightSource(FlightTable table, std::string name);

    // Play begins this many seconds into the flight (0 unless set).
    void StartAt(double seconds) { start_ = seconds; }

    // True for a recording: its rows set the pace, not the emulator's frame rate.
    bool Recording() const { return !built_in_ && table_.Timed(); }

    // Frame n of the play, counting from 0: the flight at n / rate_hz seconds;
    // for a recording, its n-th row from the start, due at the row's time.
    FlightSample Sample(std::uint64_t frame, double rate_hz) const;

    // Seconds from the start of play to the end of the first pass.
    double Duration(double rate_hz) const;

    std::string Description() const;

private:
    double Period() const; // seconds of a recording before it repeats

    bool built_in_ = true;
    FlightTable table_;
    std::string name_;
    double start_ = 0.0;
};

// Reads a flight file (UTF-8 path, any character on Windows too) for the
// emulator of the given kind. Says on standard error, after "program: ",
// why it cannot, and which columns it ignores or misses.
bool LoadFlightFile(const std::string& path, DatagramKind kind, const char* program, FlightSource& source);
