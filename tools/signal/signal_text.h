#pragma once

// What kinemora-signal prints: its help, the field table of --list-axes and
// its status lines.

#include "signal_stream.h"

#include <cstdint>
#include <string>

extern const char kSignalUsage[];

// Both formats' fields with unit, bound and meaning, and how to learn their signs.
std::string AxesTable();

// "K01 pitch: sine, amplitude 0.1 rad, period 4 s, offset 0 rad, 60 datagrams a second,
// soft start and stop over 1 s"
std::string DescribeSignal(const SignalSettings& signal);

// A status line for t seconds into the signal after count datagrams: the
// elapsed time and, with --duration, the seconds to go.
std::string StatusLine(const SignalSettings& signal, double t, std::uint64_t count);
