#pragma once

// The emulator's control commands, one per line on its standard input.

#include <cstdint>
#include <string>

enum class CommandKind {
    Help, Status, Offline, Online, Quit, Drop, SimStart, Event, Record, Exception, Data, Short, Hold, Step, Run, Wait,
    Exit,
};

struct Command {
    CommandKind kind = CommandKind::Help;
    bool needs_client = false; // it sends to the connected client
    std::uint32_t id = 0;      // Event, Record (the kind), Exception (its number), Data (the request ID),
                               // Short (the value count)
    std::uint32_t send_id = 0; // Exception: the call that failed
    std::uint32_t index = 0;   // Exception: the argument it failed on
    double seconds = 0.0;      // Wait
};

// Parses one line. Returns false with an empty error for a blank line or a
// comment (starting with '#'), and false with a helpful error for anything
// it does not understand.
bool ParseCommand(const std::string& line, Command& command, std::string& error);

extern const char kCommandHelp[];
