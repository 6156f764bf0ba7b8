#pragma once

// kinemora_xplane's work: finding X-Plane, then asking it for the values and
// sending one K2 datagram per reply, until it is asked to end.

#include "relay_start.h"
#include "udp_endpoint.h"

#include <string>

// X-Plane's address and receive port: as named (HOST[:PORT]), or from the
// first master's beacon within 3 s, or 127.0.0.1:49000; says which and why.
// version gets "11.55 (version 115501)" from a beacon, or "". False, after
// saying why, for a name that is no address.
bool FindXPlane(const std::string& named, const char* from, Relay& relay, Endpoint& xplane, std::string& version);

// Asks for the values, sends a datagram per reply and asks again every second
// while nothing comes; until an end is requested, or X-Plane goes away with
// exit_with_simulator. Ends the subscriptions before it returns the status.
int RelayXPlane(std::intptr_t socket, const Endpoint& xplane, const std::string& version, Relay& relay,
                bool exit_with_simulator);
