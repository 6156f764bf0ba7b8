#pragma once

// kinemora-simulator's command line.

#include "emulator.h"

#include <string>
#include <vector>

struct SimulatorOptions {
    EmulatorOptions emulator; // its port is the caller's default until --port
    std::string profile;
    double start_seconds = 0.0;
    bool help = false;    // --help: nothing else was checked
    bool version = false; // --version: nothing else was checked
};

constexpr const char* kSimulatorProgram = "kinemora-simulator";

// The options, then the commands it reads on standard input.
std::string SimulatorUsage();

// Reads the arguments after the program's name. False with a one-line reason
// that names the option for anything it does not understand.
bool ParseSimulatorOptions(const std::vector<std::string>& arguments, SimulatorOptions& options, std::string& error);
