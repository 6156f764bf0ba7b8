#pragma once

#include <kinemora/motion_datagram.h>

#include <string>

// kinemora-listen's command line.
struct ListenOptions {
    unsigned long port = KINEMORA_PORT;
    unsigned long long count = 0; // 0: no limit
    double timeout = 0.0;         // seconds; 0: no limit
    std::string csv;
    bool hex = false;
    bool quiet = false;
    bool live = false;
};

// Returns 0 to go on, 2 after a usage error (explained on standard error), or
// -1 after --help (printed on standard output; the program then exits 0).
int ParseListenOptions(int argc, char** argv, ListenOptions& options);
