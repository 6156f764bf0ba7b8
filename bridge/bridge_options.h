#pragma once

// The bridge's command line. Without options it runs as it always has: the
// settings file beside it, if there is one, and otherwise 255.255.255.255:50010.

#include <string>
#include <vector>

struct BridgeOptions {
    std::vector<std::string> destinations; // --destination values, in order; they replace the file's
    std::string config;                    // --config FILE instead of kinemora_mfs_2020.ini beside the program
    bool log = false;                      // --log
    bool exit_with_simulator = false;      // --exit-with-simulator
    bool help = false;                     // --help, -h or /?: nothing else was checked
    bool version = false;                  // --version: nothing else was checked
};

constexpr const char* kBridgeProgram = "kinemora_mfs_2020";

std::string BridgeUsage();

// Reads the arguments after the program's name. False with a one-line reason
// that names the option for anything it does not understand.
bool ParseBridgeOptions(const std::vector<std::string>& arguments, BridgeOptions& options, std::string& error);
