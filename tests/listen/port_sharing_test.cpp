#include "port_sharing.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d)
{
    return a << 24 | b << 16 | c << 8 | d;
}

// A controller at 192.168.1.20/24, with a second adapter at 10.0.0.5/8 and a
// point-to-point link at 172.16.0.2/31.
const std::vector<Subnet> kSubnets = {
    {Ip(192, 168, 1, 20), 0xFFFFFF00u}, {Ip(10, 0, 0, 5), 0xFF000000u}, {Ip(172, 16, 0, 2), 0xFFFFFFFEu}};

} // namespace

TEST(DestinationKind, TellsThisMachineAloneFromBroadcastAndMulticast)
{
    const struct {
        std::uint32_t destination;
        DestinationKind kind;
    } cases[] = {
        {Ip(255, 255, 255, 255), DestinationKind::kLimitedBroadcast},
        {Ip(192, 168, 1, 255), DestinationKind::kDirectedBroadcast},
        {Ip(10, 255, 255, 255), DestinationKind::kDirectedBroadcast},
        {Ip(192, 168, 1, 20), DestinationKind::kUnicast},
        {Ip(10, 0, 0, 5), DestinationKind::kUnicast},
        {Ip(10, 0, 1, 255), DestinationKind::kUnicast},      // all ones for a /24, but this network is a /8
        {Ip(192, 168, 2, 255), DestinationKind::kUnicast},   // another network's
        {Ip(172, 16, 0, 3), DestinationKind::kUnicast},      // a /31 has no broadcast address
        {Ip(127, 0, 0, 1), DestinationKind::kUnicast},
        {Ip(127, 255, 255, 255), DestinationKind::kDirectedBroadcast}, // loop-back's, though no adapter lists it
        {Ip(224, 0, 0, 1), DestinationKind::kMulticast},
        {Ip(239, 255, 255, 250), DestinationKind::kMulticast},
        {Ip(223, 255, 255, 255), DestinationKind::kUnicast}, // just below the multicast range
        {Ip(240, 0, 0, 1), DestinationKind::kUnicast},       // just above it
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyDestination(c.destination, kSubnets), c.kind) << std::hex << c.destination;
}

TEST(UnicastWatch, FirstUnicastOnceAndTheSubnetsListedOncePerBroadcastAddress)
{
    int listings = 0;
    UnicastWatch watch([&] {
        ++listings;
        return kSubnets;
    });
    const struct {
        std::uint32_t destination;
        bool first_unicast;
        int listings;
    } arrivals[] = {
        {0, false, 0}, // the system did not say
        {Ip(255, 255, 255, 255), false, 0},
        {Ip(239, 1, 2, 3), false, 0},
        {Ip(192, 168, 1, 255), false, 1},
        {Ip(192, 168, 1, 255), false, 1},
        {Ip(192, 168, 1, 20), true, 2},
        {Ip(192, 168, 1, 20), false, 2},
        {Ip(10, 0, 0, 5), false, 2},
    };
    for (const auto& a : arrivals) {
        EXPECT_EQ(watch.FirstUnicast(a.destination), a.first_unicast) << std::hex << a.destination;
        EXPECT_EQ(listings, a.listings) << std::hex << a.destination;
    }
}
