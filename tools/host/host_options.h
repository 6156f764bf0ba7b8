#pragma once

// kinemora-host's command line: the plug-in to load and how to drive it.

#include "command_line.h"

#include <string>

struct HostOptions {
    std::string plugin;
    double rate = 60.0;     // frames per second
    double duration = -1.0; // seconds; below 0: to the end of the flight
    double start = 0.0;     // seconds into the flight
    std::string profile;
    unsigned other = 40;    // further messages per frame
    std::string replay;
    bool handles = false;
    bool start_sockets = true;
    bool quiet = false;
};

constexpr const char* kHostProgram = "kinemora-host";

extern const cli::Table<HostOptions> kHostCommandLine;
