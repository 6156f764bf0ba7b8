#include "send_errors.h"

namespace {

struct Meaning {
    int error;
    const char* text;
};

constexpr const char* kCheckNetwork =
    "check that this PC's network cable or Wi-Fi is connected and that the destination's address is right";

// Windows Sockets codes first, then the POSIX ones for the same case.
const Meaning kMeanings[] = {
    {10013, "permission denied: Windows or a firewall does not let this program send there"},
    {13, "permission denied: the system or a firewall does not let this program send there"},
    {1, "not permitted: a firewall rule of this machine drops the datagram"},
    {10049, "the address cannot be sent to from this PC"},
    {99, "the address cannot be sent to from this PC"},
    {10050, "the network is down"},
    {100, "the network is down"},
    {10051, "the network is unreachable: this PC has no network that leads there"},
    {101, "the network is unreachable: this PC has no network that leads there"},
    {10065, "no route to that computer: it is not on a network this PC reaches"},
    {113, "no route to that computer: it is not on a network this PC reaches"},
    {10055, "the system has no room for the datagram just now"},
    {105, "the system has no room for the datagram just now"},
    {10093, "Windows Sockets was not started in this program"},
};

} // namespace

const char* SendStepName(SendStep step)
{
    switch (step) {
    case SendStep::Socket: return "socket";
    case SendStep::Option: return "setsockopt (broadcast)";
    case SendStep::Bind: return "bind";
    case SendStep::Resolve: return "getaddrinfo";
    case SendStep::Send: return "sendto";
    default: return "none";
    }
}

std::string ExplainSendFailure(SendStep step, int error)
{
    if (step == SendStep::Resolve)
        return std::string("the destination's address could not be read; ") + kCheckNetwork;
    if (step == SendStep::Socket)
        return "no socket could be had: the system is short of resources or its network support is off; restart "
               "the program, and the PC if that does not help";
    for (const Meaning& meaning : kMeanings)
        if (meaning.error == error)
            return std::string(meaning.text) + "; " + kCheckNetwork;
    return std::string("the system refused the datagram; ") + kCheckNetwork;
}
