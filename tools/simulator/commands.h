#pragma once

// The emulator's control commands, one per line on its standard input.

#include <cstdint>
#include <string>

enum class CommandKind {
    Help, Status, Offline, Online, Quit, Drop, SimStart, Event, Record, Data, Short,
    Hold, Step, Run, Fast, Rate, Wait, Exit,
};

struct Command {
    CommandKind kind = CommandKind::Help;
    std::uint32_t id = 0;  // Event, Record (the kind), Data (the request ID), Short (the value count)
    double seconds = 0.0;  // Wait
    double rate_hz = 0.0;  // Rate
};

// Parses one line. Returns false with an empty error for a blank line or a
// comment (starting with '#'), and false with a helpful error for anything
// it does not understand.
bool ParseCommand(const std::string& line, Command& command, std::string& error);

extern const char kCommandHelp[];
