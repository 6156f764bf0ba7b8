#pragma once

// The bridge's settings, applied to its delivery: where its datagrams go and
// its log. Read once at start, from kinemora_mfs_2020.ini beside the program
// (or --config); --destination and --log on the command line win over the file.

#include "bridge_options.h"
#include "delivery.h"

// Reads the settings and tells standard error what applies; report gets the
// report's file, or "" for none. Returns 0 to go on, or 2 after a one-line
// reason (a bad --destination, an unreadable --config).
int ApplyBridgeSettings(const BridgeOptions& options, Delivery& delivery, std::string& report);
