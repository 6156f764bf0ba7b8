#pragma once

// Builds host frames: tm_external_message records back to back, as the
// simulator hands them to a plug-in.

#include "plugin_messages.h"

#include <cstdint>
#include <vector>

struct HostFrame {
    std::vector<std::uint8_t> bytes;
    std::uint32_t count = 0;

    void AddHeaderOnly(std::uint64_t id, std::uint64_t flags);
    void AddDouble(std::uint64_t id, double value, std::uint64_t flags);
    void AddVector(std::uint64_t id, const double (&xyz)[3], std::uint64_t flags);
};

// One frame of the flight: other_messages further messages with realistic
// names and types, then the six motion messages (the velocity twice: in body
// axes, then in world axes) and Simulation.Time.
HostFrame BuildFlightFrame(const PluginMessages& messages, unsigned other_messages);
