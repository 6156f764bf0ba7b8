#pragma once

// kinemora_xplane's command line: the relays' settings, and where X-Plane is.

#include "command_line.h"
#include "relay_start.h"

#include <string>

struct XPlaneOptions : RelayOptions {
    std::string xplane; // --xplane HOST[:PORT]: X-Plane's computer, instead of its beacon
};

constexpr const char* kXPlaneProgram = "kinemora_xplane";

extern const cli::Table<XPlaneOptions> kXPlaneCommandLine;
