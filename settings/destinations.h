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
#include "destination_list.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// How a syntax error is explained, for the end of a message.
extern const char kDestinationSyntax[];

// Reads one value into the destinations it names (for adapters: none or
// several). The adapters are listed only when the value asks for them; notes
// says what was found. False, with a reason in error, for anything else.
bool ParseDestination(const std::string& value, const std::function<std::vector<Adapter>()>& list_adapters,
                      std::vector<Destination>& found, std::vector<std::string>& notes, std::string& error);

