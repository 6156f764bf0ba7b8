#pragma once

// kinemora-host's command line: the plug-in to load and how to drive it.

#include <string>
#include <vector>

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
    bool help = false;    // --help: nothing else was checked
    bool version = false; // --version: nothing else was checked
};

constexpr const char* kHostProgram = "kinemora-host";

std::string HostUsage();

// Reads the arguments after the program's name. False with a one-line reason
// that names the option for anything it does not understand.
bool ParseHostOptions(const std::vector<std::string>& arguments, HostOptions& options, std::string& error);
