#pragma once

// What kinemora-signal prints: its help, the field table of --list-axes,
// its status lines and what it does on a request to stop.

#include "signal_stream.h"
#include "stop_rule.h"

#include <cstdint>
#include <string>


// Both formats' fields with unit, gentle and extreme bound and meaning, and
// how to learn their signs.
std::string AxesTable();

// "K01 pitch: sine, amplitude 0.1 rad, period 4 s, offset 0 rad, 60 datagrams a second,
// soft start and stop over 1 s"
std::string DescribeSignal(const SignalSettings& signal);

// A status line for t seconds into the signal after count datagrams: the
// elapsed time and, with --duration, the seconds to go.
std::string StatusLine(const SignalSettings& signal, double t, std::uint64_t count);

// What a request to stop does, said when it comes: the `requests`-th request,
// the latest of them `event`, with the way down now at most `longest` seconds
// (LongestWayDown). "Ctrl+C: ramping pitch down to 0 over at most 1 s, then
// one datagram of zeros (Ctrl+C again makes it at most 0.25 s)"
std::string StopLine(StopEvent event, int requests, const SignalSettings& signal, double longest);
