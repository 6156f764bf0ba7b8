#pragma once

// The loopback port on which the emulator listens and the stand-in connects.

#include <cstdint>

constexpr std::uint16_t kDefaultSimulatorPort = 50011;
constexpr const char* kSimulatorPortVariable = "KINEMORA_SIMULATOR_PORT";

// Parses a port from 1 to 65535 written in decimal; false for anything else.
bool ParsePort(const char* text, std::uint16_t& port);

// The port named by KINEMORA_SIMULATOR_PORT, or the default when it is unset
// or not a port.
std::uint16_t SimulatorPortFromEnvironment();
