#pragma once

// kinemora-signal's command line: every option is checked here, before
// anything is sent. A bad one gives a one-line error that names the option
// and what it allows.

#include "adapters.h"
#include "command_line.h"
#include "destination.h"
#include "signal_stream.h"

#include <functional>
#include <string>
#include <vector>

struct SignalOptions {
    SignalSettings signal;
    std::vector<Destination> destinations; // at least one after a successful parse
    std::vector<std::string> notes;        // what --destination adapters found
    bool force = false;                    // send beyond the field's gentle bound, up to its extreme
    bool quiet = false;                    // no status lines
    bool list_axes = false;                // --list-axes: the signal was not checked

    // As given, read once every option is in.
    std::string axis;
    bool amplitude_given = false;
    std::vector<std::string> destination_values;
    // Lists the adapters, only for a --destination that asks for them.
    std::function<std::vector<Adapter>()> list_adapters = ListAdapters;
};

// The ranges the options allow.
constexpr double kLowestRate = 1.0, kHighestRate = 1000.0;          // datagrams per second
constexpr double kShortestPeriod = 0.02, kLongestPeriod = 3600.0;  // seconds
constexpr double kLargestValue = 1000000.0;                          // |amplitude|, |offset|
constexpr double kLongestDuration = 1000000.0;                       // seconds
constexpr double kLongestRamp = 60.0;                                // seconds

extern const cli::Table<SignalOptions> kSignalCommandLine;
