#pragma once

// Lists of destinations: each one once, at most eight; "adapters" turned into
// the adapters' broadcast addresses; and the list as the log shows it.

#include "adapters.h"
#include "destination.h"

#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kMostDestinations = 8;

// The broadcast addresses of the adapters on port, with notes on what was
// found; 255.255.255.255 on port, marked as a stand-in, when none has one.
std::vector<Destination> AdapterDestinations(const std::vector<Adapter>& adapters, std::uint16_t port,
                                             std::vector<std::string>& notes);

// Appends found to list, each destination once, at most kMostDestinations in
// all; what is left out for want of room is said in left_out.
void AddDestinations(std::vector<Destination>& list, const std::vector<Destination>& found,
                     std::vector<std::string>& left_out);

// The destinations to send to: each address and port once, where it first
// comes. A list may hold an address and port twice, when "adapters" found
// none and its stand-in 255.255.255.255 marks where a new look goes.
std::vector<Destination> DistinctDestinations(const std::vector<Destination>& list);

// "192.168.1.255:50010, 10.0.0.7:50123"
std::string DescribeDestinations(const std::vector<Destination>& list);
