#pragma once

// Flights from CSV files: one dialect for both emulators, which also reads
// kinemora-listen --csv recordings as they are.
//
//   # Lines starting with '#' and blank lines are skipped; LF or CRLF.
//   time,velocity_body_z,bank,heading
//   0.000,0,0,1.2
//
// The first other line names the columns, in any order and letter case,
// spaces taken as underscores:
// - the flight's quantities by their K2 names (velocity_body_z, ...,
//   rotation_velocity_body_y, rate_of_turn) or their SimConnect variable
//   names, in the flight's own signs; or with kinemora-listen's "k2_" prefix,
//   as the bridge sent them, with MSFS's signs;
// - K01 datagram fields by kinemora-listen's names (velocity_x,
//   angular_velocity_z, ...; "k01_" prefix allowed), mapped back onto the
//   flight through the plug-in's axes;
// - "time", "time_s" or "arrival_s": seconds, never decreasing. With it the
//   rows are a recording, played at their own times; without it, one row
//   per frame;
// - "time_us": a K01 time field, the simulation time the plug-in shows;
// - "kind": only rows of the kind being read (K01 or K2) are kept, and the
//   other kind's prefixed columns are ignored.
// Other columns are ignored, and reported. A quantity without a column is 0.
// Cells are decimal numbers, or nan, -nan, inf, -inf.

#include "flight_state.h"
#include "motion_fields.h"

#include <istream>
#include <string>
#include <vector>

// Whose datagrams a file is read for: K01 for the plug-in's host, K2 for the bridge's simulator.
using DatagramKind = DatagramFormat;

struct FlightTable {
    std::vector<double> times;            // seconds, one per row when timed
    std::vector<double> simulation_times; // seconds, one per row from a time_us column
    std::vector<FlightState> rows;
    std::vector<std::string> missing;     // fields the kind uses that have no column
    std::vector<std::string> ignored;     // columns that name nothing the kind uses

    // A recording: its rows play at their own times.
    bool Timed() const { return !times.empty(); }
    // The rows carry the plug-in's simulation time.
    bool SimulationTimed() const { return !simulation_times.empty(); }
};

// Reads a whole file for the emulator of one kind. On failure returns false
// and says why, with the line number.
bool ReadFlightCsv(std::istream& in, DatagramKind kind, FlightTable& table, std::string& error);

// Parses one cell: a decimal number, or nan, -nan, inf, -inf (any letter case).
bool ParseNumber(const std::string& cell, double& value);
