#pragma once

// Where a datagram goes: an IPv4 address and a UDP port. The sender hands the
// resolver the address and the port as text, as it does for 255.255.255.255
// and "50010", so that a datagram to any destination takes the same steps.

#include <cstdint>
#include <cstring>

// How a destination came to be: written out, or found through "adapters",
// where 255.255.255.255 stands in while no adapter is up.
enum class DestinationOrigin : std::uint8_t { Given, Adapter, NoAdapter };

struct Destination {
    std::uint32_t address = 0xFFFFFFFFu; // host byte order
    std::uint16_t port = 50010;
    char node[16] = "255.255.255.255";   // the address in dotted decimal
    char service[6] = "50010";           // the port in decimal
    DestinationOrigin origin = DestinationOrigin::Given;

    bool operator==(const Destination& other) const { return address == other.address && port == other.port; }
};

// A destination from an address in host byte order and a port (1 to 65535).
Destination MakeDestination(std::uint32_t address, std::uint16_t port);

// "A.B.C.D:PORT", as the log and the messages show it.
void FormatDestination(const Destination& destination, char (&text)[22]);
