#pragma once

// The bridge's command line. Without options it runs as it always has: the
// settings file beside it, if there is one, and otherwise 255.255.255.255:50010.

#include "command_line.h"
#include "relay_start.h"

struct BridgeOptions : RelayOptions {};

constexpr const char* kBridgeProgram = "kinemora_mfs_2020";

extern const cli::Table<BridgeOptions> kBridgeCommandLine;
