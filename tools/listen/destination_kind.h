#pragma once

// Whom a datagram was addressed to, read from its destination address: this
// machine alone, or every machine of a network. Pure code over numbers.

#include <cstdint>
#include <vector>

// One IPv4 address of this machine and its network's mask, in host byte order.
struct Subnet {
    std::uint32_t address = 0;
    std::uint32_t mask = 0;
};

enum class DestinationKind {
    kUnicast,           // this machine alone
    kLimitedBroadcast,  // 255.255.255.255
    kDirectedBroadcast, // a network's own broadcast address, such as 192.168.1.255 on a /24
    kMulticast,         // 224.0.0.0 to 239.255.255.255
};

// Classifies a destination address (host byte order) against this machine's
// subnets. A directed broadcast lies in one of the subnets, or in loop-back's
// 127.0.0.0/8, and has a host part of all ones; /31 and /32 networks have
// none, so there every address is unicast.
DestinationKind ClassifyDestination(std::uint32_t destination, const std::vector<Subnet>& subnets);
