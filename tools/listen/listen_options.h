#pragma once

#include <kinemora/motion_datagram.h>

#include <string>
#include <vector>

// kinemora-listen's command line.
struct ListenOptions {
    unsigned long port = KINEMORA_PORT;
    unsigned long long count = 0; // 0: no limit
    double timeout = 0.0;         // seconds; 0: no limit
    std::string csv;
    bool hex = false;
    bool quiet = false;
    bool live = false;
    bool help = false;    // --help: nothing else was checked
    bool version = false; // --version: nothing else was checked
};

constexpr const char* kListenProgram = "kinemora-listen";

std::string ListenUsage();

// Reads the arguments after the program's name. False with a one-line reason
// that names the option for anything it does not understand.
bool ParseListenOptions(const std::vector<std::string>& arguments, ListenOptions& options, std::string& error);
