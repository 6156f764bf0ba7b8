#include "destination.h"

#include <cstdio>

Destination MakeDestination(std::uint32_t address, std::uint16_t port)
{
    Destination d;
    d.address = address;
    d.port = port;
    std::snprintf(d.node, sizeof(d.node), "%u.%u.%u.%u", static_cast<unsigned>(address >> 24),
                  static_cast<unsigned>((address >> 16) & 0xFF), static_cast<unsigned>((address >> 8) & 0xFF),
                  static_cast<unsigned>(address & 0xFF));
    std::snprintf(d.service, sizeof(d.service), "%u", static_cast<unsigned>(port));
    return d;
}

void FormatDestination(const Destination& destination, char (&text)[22])
{
    std::snprintf(text, sizeof(text), "%s:%s", destination.node, destination.service);
}
