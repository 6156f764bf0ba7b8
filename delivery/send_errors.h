#pragma once

// What a failed send means to a user, and what to do about it: the words the
// log and the bridge's console use for the first failure of each kind.

#include "broadcast_sender.h"

#include <string>

// "sendto", "bind", ...: how the lines name a step.
const char* SendStepName(SendStep step);

// "the network is unreachable: this PC has no network that leads there; check ..."
// The codes are those of Windows Sockets and of POSIX, which do not overlap.
std::string ExplainSendFailure(SendStep step, int error);
