#include "destinations.h"

#include <cctype>
#include <cstdio>

const char kDestinationSyntax[] =
    "write A.B.C.D, A.B.C.D:PORT, broadcast, broadcast:PORT, adapters or adapters:PORT (PORT 1 to 65535)";

namespace {

constexpr std::uint16_t kDefaultPort = 50010;

// A decimal number of at most digits digits, nothing else.
bool ParseDecimal(const std::string& text, std::size_t digits, unsigned long& value)
{
    if (text.empty() || text.size() > digits)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    return true;
}

bool ParseAddress(const std::string& text, std::uint32_t& address)
{
    address = 0;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.', start);
        if ((part < 3) != (dot != std::string::npos))
            return false;
        unsigned long byte = 0;
        if (!ParseDecimal(text.substr(start, part < 3 ? dot - start : std::string::npos), 3, byte) || byte > 255)
            return false;
        address = address << 8 | static_cast<std::uint32_t>(byte);
        start = dot + 1;
    }
    return true;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

bool ParseDestination(const std::string& value, const std::function<std::vector<Adapter>()>& list_adapters,
                      std::vector<Destination>& found, std::vector<std::string>& notes, std::string& error)
{
    found.clear();
    const std::size_t colon = value.find(':');
    const std::string host = Lower(value.substr(0, colon));
    std::uint16_t port = kDefaultPort;
    if (colon != std::string::npos) {
        unsigned long number = 0;
        if (!ParseDecimal(value.substr(colon + 1), 5, number) || number < 1 || number > 65535) {
            error = "'" + value + "' has no port from 1 to 65535 after the colon";
            return false;
        }
        port = static_cast<std::uint16_t>(number);
    }

    if (host == "broadcast") {
        found.push_back(MakeDestination(0xFFFFFFFFu, port));
        return true;
    }
    if (host == "adapters") {
        found = AdapterDestinations(list_adapters(), port, notes);
        return true;
    }
    std::uint32_t address = 0;
    if (!ParseAddress(host, address)) {
        error = "'" + value + "' is not a destination: " + kDestinationSyntax;
        return false;
    }
    if (address == 0) {
        error = "'" + value + "' is no address to send to: " + kDestinationSyntax;
        return false;
    }
    found.push_back(MakeDestination(address, port));
    return true;
}
