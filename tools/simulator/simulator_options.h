#pragma once

// kinemora-simulator's command line.

#include "command_line.h"
#include "emulator.h"

#include <string>

struct SimulatorOptions {
    EmulatorOptions emulator; // its port is the caller's default until --port
    std::string profile;
    double start_seconds = 0.0;
};

// Its usage ends with the commands it reads on standard input.
extern const cli::Table<SimulatorOptions> kSimulatorCommandLine;
