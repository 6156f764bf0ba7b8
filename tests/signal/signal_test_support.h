#pragma once

// What the kinemora-signal tests share: the options as the program reads
// them, datagrams as hex, and a counter the test scripts for the K2 clock.

#include "read_command_line.h"
#include "scripted_counter.h"
#include "signal_options.h"

#include <string>
#include <vector>

// The adapters a test pretends the machine has.
inline std::vector<Adapter>& FakeAdapters()
{
    static std::vector<Adapter> adapters;
    return adapters;
}

inline std::vector<Adapter> ListFakeAdapters()
{
    return FakeAdapters();
}

// Parses as the program does; error says why not.
inline bool Parse(const std::vector<std::string>& arguments, SignalOptions& options, std::string& error)
{
    options = SignalOptions();
    options.list_adapters = ListFakeAdapters;
    error.clear();
    return cli::Parse(kSignalCommandLine, arguments, options, error) != cli::Outcome::Mistake;
}

inline std::string Hex(const SignalDatagram& datagram)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < datagram.length; ++i) {
        text += digits[datagram.bytes[i] >> 4];
        text += digits[datagram.bytes[i] & 15];
    }
    return text;
}
