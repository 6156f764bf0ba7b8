#include "destination_list.h"

#include "broadcast_sender.h"

#include <algorithm>

namespace {

std::string Dotted(std::uint32_t address)
{
    return MakeDestination(address, kBroadcastPort).node;
}

} // namespace

std::vector<Destination> AdapterDestinations(const std::vector<Adapter>& adapters, std::uint16_t port,
                                             std::vector<std::string>& notes)
{
    std::vector<Destination> found;
    for (const Adapter& adapter : adapters) {
        const std::string where = "adapter '" + adapter.name + "' " + Dotted(adapter.address);
        // A /31 or /32 has no broadcast address of its own.
        if (adapter.mask == 0xFFFFFFFFu || adapter.mask == 0xFFFFFFFEu) {
            notes.push_back(where + " is a point-to-point link (a /31 or /32): no broadcast address");
            continue;
        }
        Destination d = MakeDestination(adapter.address | ~adapter.mask, port);
        d.origin = DestinationOrigin::Adapter;
        notes.push_back(where + " mask " + Dotted(adapter.mask) + ": broadcast address " + d.node);
        found.push_back(d);
    }
    if (found.empty()) {
        // The network may not be up yet: 255.255.255.255 on the same port
        // reaches the rig meanwhile, and the adapters are looked at again.
        Destination d = MakeDestination(0xFFFFFFFFu, port);
        d.origin = DestinationOrigin::NoAdapter;
        notes.push_back("adapters: no IPv4 adapter that is up and has a broadcast address; sending to " +
                        std::string(d.node) + ":" + d.service + " until one is found (looked for every 5 s)");
        found.push_back(d);
    }
    return found;
}

void AddDestinations(std::vector<Destination>& list, const std::vector<Destination>& found,
                     std::vector<std::string>& left_out)
{
    for (const Destination& d : found) {
        bool known = false;
        // Where "adapters" found none, its stand-in stays beside an equal
        // destination: it marks where a new look at the adapters goes.
        for (const Destination& existing : list)
            known = known || (existing == d && (existing.origin == DestinationOrigin::NoAdapter) ==
                                                   (d.origin == DestinationOrigin::NoAdapter));
        if (known)
            continue;
        if (list.size() == kMostDestinations) {
            char text[22];
            FormatDestination(d, text);
            left_out.push_back(std::string(text) + " left out: at most 8 destinations");
            continue;
        }
        list.push_back(d);
    }
}

std::vector<Destination> DistinctDestinations(const std::vector<Destination>& list)
{
    std::vector<Destination> distinct;
    for (const Destination& d : list)
        if (std::find(distinct.begin(), distinct.end(), d) == distinct.end())
            distinct.push_back(d);
    return distinct;
}

std::string DescribeDestinations(const std::vector<Destination>& list)
{
    std::string text;
    for (const Destination& d : list) {
        char one[22];
        FormatDestination(d, one);
        text += (text.empty() ? "" : ", ") + std::string(one);
    }
    return text;
}
