#include "port_sharing.h"

#include <algorithm>

namespace {

std::string Dotted(std::uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFFu) + "." +
           std::to_string((address >> 8) & 0xFFu) + "." + std::to_string(address & 0xFFu);
}

// A port for a second destination, next to the one listened on.
unsigned long OtherPort(unsigned long port)
{
    return port < 65535 ? port + 1 : port - 1;
}

} // namespace

bool UnicastWatch::FirstUnicast(std::uint32_t destination)
{
    if (seen_ || destination == 0)
        return false;
    if (ClassifyDestination(destination, {}) != DestinationKind::kUnicast)
        return false;
    if (std::find(broadcasts_.begin(), broadcasts_.end(), destination) != broadcasts_.end())
        return false;
    if (ClassifyDestination(destination, lister_()) != DestinationKind::kUnicast) {
        broadcasts_.push_back(destination);
        return false;
    }
    seen_ = true;
    return true;
}

std::string UnicastNote(std::uint32_t destination, unsigned long port)
{
    const std::string address = Dotted(destination);
    const std::string ports = std::to_string(port);
    const std::string second = address + ":" + std::to_string(OtherPort(port));
    return "kinemora-listen: a datagram arrived addressed to this computer alone (" + address +
           "), not to a broadcast address.\n"
           "Such a datagram reaches only one of the programs that listen on UDP port " + ports +
           " on this computer. While kinemora-listen runs, other software listening on port " + ports +
           " here (the rig's own software, for example) may be missing these datagrams; "
           "if nothing else listens on it, nothing is missed.\n"
           "Either stop kinemora-listen while the rig runs, or give the sender a second destination "
           "with another port for listening: keep the destination it has and add\n"
           "    destination = " + second + "\n"
           "to its settings file (the bridge also takes --destination " + second + "), then run\n"
           "    kinemora-listen --port " + std::to_string(OtherPort(port)) + "\n";
}

std::string UnicastLiveNote(std::uint32_t destination, unsigned long port)
{
    return "note: a datagram came addressed to this computer alone (" + Dotted(destination) + "),\n"
           "so other software on UDP port " + std::to_string(port) + " here may miss such datagrams;\n"
           "Ctrl+C ends the view and says what to do.";
}

std::string PortHeldMessage(unsigned long port, const std::string& detail)
{
    const std::string ports = std::to_string(port);
    const std::string other = std::to_string(OtherPort(port));
    return "kinemora-listen: " + detail + "\n"
           "Another program holds UDP port " + ports + " for itself, so kinemora-listen cannot listen beside it. "
           "Close that program (the rig's own software, for example) while you check, or have the sender use a "
           "second destination with another port, such as destination = 192.168.1.20:" + other +
           " with this computer's address (ipconfig shows it), and listen there with kinemora-listen --port " +
           other + ".\n";
}
