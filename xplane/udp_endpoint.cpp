#include "udp_endpoint.h"

std::string EndpointText(const Endpoint& endpoint)
{
    const std::uint32_t a = endpoint.address;
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." + std::to_string((a >> 8) & 0xFF) +
           "." + std::to_string(a & 0xFF) + ":" + std::to_string(endpoint.port);
}
