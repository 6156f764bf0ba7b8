#include "simulator_port.h"

#include <cstdlib>

bool ParsePort(const char* text, std::uint16_t& port)
{
    if (text == nullptr || *text == '\0')
        return false;
    unsigned long value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
        if (value > 65535)
            return false;
    }
    if (value == 0)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

std::uint16_t SimulatorPortFromEnvironment()
{
    std::uint16_t port = kDefaultSimulatorPort;
    if (!ParsePort(std::getenv(kSimulatorPortVariable), port))
        return kDefaultSimulatorPort;
    return port;
}
