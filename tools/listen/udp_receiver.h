#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The listener's platform seam: one UDP socket bound to a port on every local address.

struct ReceivedFrom {
    std::string address; // dotted IPv4 address of the sender
    std::uint16_t port = 0;
    // The address the datagram was sent to, in host byte order (from
    // IP_PKTINFO); 0 when the system did not say.
    std::uint32_t destination = 0;
};

// Opens a UDP socket bound to 0.0.0.0:port that receives broadcasts and
// shares the port with other programs that allow it (SO_REUSEADDR).
// Returns a handle, or -1 with a readable reason in error; port_held is then
// true when another socket holds the port without sharing it.
std::intptr_t OpenReceiver(std::uint16_t port, std::string& error, bool& port_held);

constexpr long kReceiveTimedOut = -1;
constexpr long kReceiveFailed = -2;

// Waits up to timeout_ms for one datagram and copies at most capacity bytes of it.
// Returns its length (which may be 0), kReceiveTimedOut or kReceiveFailed.
long ReceiveDatagram(std::intptr_t receiver, unsigned char* buffer, std::size_t capacity,
                     int timeout_ms, ReceivedFrom& from);

void CloseReceiver(std::intptr_t receiver);
