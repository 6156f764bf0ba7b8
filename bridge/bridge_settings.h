#pragma once

// What the bridge's settings set: where its datagrams go and its log. Read
// once at start, from kinemora_mfs_2020.ini beside the program (or --config);
// --destination and --log on the command line win over the file.

#include "bridge_options.h"
#include "outbox.h"

#include <string>

// Reads the settings and tells standard error what applies. Returns 0 to go
// on, or 2 after a one-line reason (a bad --destination, an unreadable --config).
int ApplyBridgeSettings(const BridgeOptions& options);

// Where each datagram goes.
Outbox& BridgeOutbox();

// One line to the log, if the bridge has one.
void WriteBridgeLog(const std::string& line);

// At the end of a connection: its counts to the log, which start again.
void LogConnectionEnd();
