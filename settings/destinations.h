#pragma once

// The destination syntax of the settings files and of --destination:
//
//   A.B.C.D[:PORT]     a unicast address, or a subnet's own broadcast address
//   broadcast[:PORT]   255.255.255.255
//   adapters[:PORT]    the broadcast address (address OR NOT mask) of every
//                      IPv4 adapter that is up, not loopback and not a /31 or
//                      /32, found when the value is read; 255.255.255.255 on
//                      the same port while there is none
//
// PORT is 1 to 65535, 50010 when left out; the words in any letter case.

#include "adapters.h"
#include "destination.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

constexpr std::size_t kMostDestinations = 8;

// How a syntax error is explained, for the end of a message.
extern const char kDestinationSyntax[];

// Reads one value into the destinations it names (for adapters: none or
// several). The adapters are listed only when the value asks for them; notes
// says what was found. False, with a reason in error, for anything else.
bool ParseDestination(const std::string& value, const std::function<std::vector<Adapter>()>& list_adapters,
                      std::vector<Destination>& found, std::vector<std::string>& notes, std::string& error);

// The broadcast addresses of the adapters on port, with notes on what was
// found; 255.255.255.255 on port, marked as a stand-in, when none has one.
std::vector<Destination> AdapterDestinations(const std::vector<Adapter>& adapters, std::uint16_t port,
                                             std::vector<std::string>& notes);

// Appends found to list, each destination once, at most kMostDestinations in
// all; what is left out for want of room is said in left_out.
void AddDestinations(std::vector<Destination>& list, const std::vector<Destination>& found,
                     std::vector<std::string>& left_out);

// "192.168.1.255:50010, 10.0.0.7:50123"
std::string DescribeDestinations(const std::vector<Destination>& list);
