#pragma once

// A flight profile read from CSV: one row per frame, or rows at given times.
//
//   # Lines starting with '#' and empty lines are skipped.
//   time,velocity_body_z,velocity_body_x,...,rotation_velocity_body_y
//   0.000,0,0,...
//
// The header names the columns in any order (flight_state.h, FindColumn). A
// "time" column (or "time_s", or kinemora-listen's "arrival_s") in seconds,
// never decreasing, makes the rows a recording: each frame replays the last
// row at or before its time. Without it, each row is one frame. A "kind"
// column keeps only rows whose kind is K2. Quantities without a column are 0;
// other columns are ignored. Cells are decimal numbers, or nan, inf, -inf.

#include "flight_state.h"

#include <istream>
#include <string>
#include <vector>

struct CsvProfile {
    bool timed = false;
    std::vector<double> times; // seconds, one per row when timed
    std::vector<FlightState> rows;
    std::vector<std::string> missing;  // quantities without a column
    std::vector<std::string> ignored;  // columns that name no quantity
};

// Reads a whole profile. On failure returns false and says why, with the line number.
bool ReadCsvProfile(std::istream& in, CsvProfile& profile, std::string& error);

// Parses one cell: a decimal number, or nan, inf, -inf (any letter case).
bool ParseNumber(const std::string& cell, double& value);
