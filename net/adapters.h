#pragma once

// The machine's IPv4 network adapters, for destinations that name "every
// adapter's broadcast address". One file per platform.

#include <cstdint>
#include <string>
#include <vector>

struct Adapter {
    std::string name;
    std::uint32_t address = 0; // host byte order
    std::uint32_t mask = 0;    // host byte order
};

// Every IPv4 address of an adapter that is up and is not loopback, in the
// order the system lists them. Empty when the list cannot be had.
std::vector<Adapter> ListAdapters();
