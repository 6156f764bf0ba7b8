#include "destination_kind.h"

DestinationKind ClassifyDestination(std::uint32_t destination, const std::vector<Subnet>& subnets)
{
    if (destination == 0xFFFFFFFFu)
        return DestinationKind::kLimitedBroadcast;
    if ((destination & 0xF0000000u) == 0xE0000000u)
        return DestinationKind::kMulticast;
    // Loop-back (127.0.0.0/8) is among no adapters the system lists.
    if (destination == 0x7FFFFFFFu)
        return DestinationKind::kDirectedBroadcast;
    for (const Subnet& subnet : subnets) {
        const std::uint32_t host_bits = ~subnet.mask;
        if (host_bits < 3u) // a /31 or /32
            continue;
        if ((destination & subnet.mask) == (subnet.address & subnet.mask) && (destination & host_bits) == host_bits)
            return DestinationKind::kDirectedBroadcast;
    }
    return DestinationKind::kUnicast;
}
