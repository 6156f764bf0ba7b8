#pragma once

// kinemora-listen binds its port with SO_REUSEADDR, so that it can listen
// beside the rig's own software. A broadcast reaches every socket bound to the
// port; a datagram addressed to this machine alone reaches only one of them
// (the one bound last, in practice), so while kinemora-listen runs, the other
// program may miss such datagrams. This file notices the first one and says
// so, and words what to do when another program holds the port for itself.

#include "destination_kind.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class UnicastWatch {
public:
    // Lists this machine's subnets; called only for a destination that may be
    // a directed broadcast, and at most once for each such address.
    using SubnetLister = std::function<std::vector<Subnet>()>;

    explicit UnicastWatch(SubnetLister lister) : lister_(std::move(lister)) {}

    // True for the first datagram addressed to this machine alone, false for
    // every other datagram before and after it. destination is in host byte
    // order; 0 means the system did not say, which never counts.
    bool FirstUnicast(std::uint32_t destination);

private:
    SubnetLister lister_;
    bool seen_ = false;
    std::vector<std::uint32_t> broadcasts_; // directed broadcasts already told apart
};

// The note on the first datagram addressed to this machine alone: what may go
// missing and what to do, with that address and the port listened on.
std::string UnicastNote(std::uint32_t destination, unsigned long port);

// The same in short lines for the live view, which points to the whole note
// printed when the view ends.
std::string UnicastLiveNote(std::uint32_t destination, unsigned long port);

// What to say when another program holds the port for itself. detail is the
// system's own words for the failed bind.
std::string PortHeldMessage(unsigned long port, const std::string& detail);
