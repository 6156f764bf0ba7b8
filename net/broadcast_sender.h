#pragma once

// The sender of both deliverables: one datagram, one fresh IPv4 UDP socket.

#include "destination.h"

#include <cstdint>

// Sends one datagram on a fresh IPv4 UDP socket to 255.255.255.255 port 50010,
// then closes the socket. No step's result is examined: a datagram that cannot
// be sent is lost, and the next call starts again with a new socket.
void BroadcastSender(const void* data, std::int32_t length);

// The steps of a send, for reporting which one failed.
enum class SendStep : std::uint8_t { None, Socket, Option, Bind, Resolve, Send, Count };

struct SendOutcome {
    SendStep failed = SendStep::None; // the first step that failed
    int error = 0;                    // its error code: the system's, or the resolver's
};

// The same steps as BroadcastSender, to any destination: socket, broadcast
// option, bind to any address and port 0, resolve the destination's text into
// a zeroed 128-byte address, send with length 128, close. Each step runs
// whatever the earlier ones returned. With an outcome, the first failing step
// and its error code are kept there; without one, no result is examined.
void SendDatagramTo(const Destination& destination, const void* data, std::int32_t length,
                    SendOutcome* outcome = nullptr);

// Resolves node and service (a decimal port) for the given address family (datagram sockets)
// and copies the first address found into the caller's 128-byte buffer.
// Returns the resolver's result code, 0 on success; on failure the buffer is
// left as the caller set it.
std::int32_t ResolveSocketAddress(const char* node, std::int32_t family, const char* service,
                                  unsigned char (&address)[128]);

// Destination of every datagram unless a deliverable is told otherwise.
constexpr const char* kBroadcastNode = "255.255.255.255";
constexpr const char* kBroadcastService = "50010";
constexpr std::uint16_t kBroadcastPort = 50010;
