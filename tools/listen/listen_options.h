#pragma once

#include "command_line.h"

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

extern const cli::Table<ListenOptions> kListenCommandLine;
