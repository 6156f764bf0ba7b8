#pragma once

// The bridge's command line. Without options it runs as it always has: the
// settings file beside it, if there is one, and otherwise 255.255.255.255:50010.

#include "command_line.h"

#include <string>
#include <vector>

struct BridgeOptions {
    std::vector<std::string> destinations; // --destination values, in order; they replace the file's
    std::string config;                    // --config FILE instead of kinemora_mfs_2020.ini beside the program
    bool log = false;                      // --log
    bool exit_with_simulator = false;      // --exit-with-simulator
    std::string report;                    // --report FILE
};

constexpr const char* kBridgeProgram = "kinemora_mfs_2020";

extern const cli::Table<BridgeOptions> kBridgeCommandLine;
