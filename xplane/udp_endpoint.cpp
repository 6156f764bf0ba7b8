#include "udp_endpoint.h"

#include "broadcast_sender.h"
#include "destination.h"

std::string EndpointText(const Endpoint& endpoint)
{
    char text[22];
    FormatDestination(MakeDestination(endpoint.address, endpoint.port), text);
    return text;
}

bool ResolveIPv4(const std::string& host, std::uint32_t& address)
{
    constexpr std::int32_t kIPv4 = 2; // AF_INET on Windows, Linux and macOS alike
    unsigned char found[128] = {};
    if (ResolveSocketAddress(host.c_str(), kIPv4, nullptr, found) != 0)
        return false;
    // sockaddr_in keeps the address at bytes 4 to 7, in network byte order, on every one of them.
    address = static_cast<std::uint32_t>(found[4]) << 24 | static_cast<std::uint32_t>(found[5]) << 16 |
              static_cast<std::uint32_t>(found[6]) << 8 | found[7];
    return true;
}
