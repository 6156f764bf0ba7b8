#pragma once

// What the relay programs share, the MSFS bridge and kinemora_xplane: their
// command line's settings, their start (one instance, sockets, timers, the
// console, the settings file beside the program and the report), and their
// words on standard error.

#include "delivery.h"
#include "relay_report.h"
#include "settings_file.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// --destination's help in the relays' usage.
constexpr const char* kRelayDestinationHelp =
    "where the datagrams go instead; may repeat:\n"
    "A.B.C.D[:PORT]   one computer, or a network's broadcast address\n"
    "broadcast[:PORT] 255.255.255.255 (the default, port 50010)\n"
    "adapters[:PORT]  the broadcast address of every network adapter";

struct RelayOptions {
    std::vector<std::string> destinations; // --destination values, in order; they replace the file's
    std::string config;                    // --config FILE instead of NAME.ini beside the program
    bool log = false;                      // --log
    std::string report;                    // --report FILE
    bool exit_with_simulator = false;      // --exit-with-simulator
};

struct Relay {
    const char* program;    // "kinemora_mfs_2020"
    SettingsFor kind;
    Delivery delivery;
    Settings settings;      // as the file gave them
    std::unique_ptr<RelayReport> report;
};

// "PROGRAM: TEXT" on standard error.
void Say(const Relay& relay, const std::string& text);

// Claims the program's one instance, starts Windows Sockets, asks for 1 ms
// timers, opts out of power throttling, turns QuickEdit off, then applies
// NAME.ini beside the program (or --config) and the command line to the
// delivery and opens the report, which heading(throttling line) begins.
// Nothing to go on; otherwise the status to end with, after a line that
// says why (and the usage for a mistake in the settings).
std::optional<int> StartRelay(const RelayOptions& options, const std::string& usage,
                              const std::function<std::string(const std::string&)>& heading, Relay& relay);

// An error that ends the program: kept readable in a window opened for it alone.
int EndWithError(int status);

// A path under the user's own folder, with that folder as %USERPROFILE% (or
// $HOME): a report holds no user name.
std::string WithoutUserFolder(const std::string& path);
