#pragma once

#include <cstdint>

// Sends one datagram on a fresh IPv4 UDP socket to 255.255.255.255 port 50010,
// then closes the socket. No step's result is examined: a datagram that cannot
// be sent is lost, and the next call starts again with a new socket.
void BroadcastSender(const void* data, std::int32_t length);

// Resolves node and service (a decimal port) for the given address family (datagram sockets)
// and copies the first address found into the caller's 128-byte buffer.
// Returns the resolver's result code, 0 on success; on failure the buffer is
// left as the caller set it.
std::int32_t ResolveSocketAddress(const char* node, std::int32_t family, const char* service,
                                  unsigned char (&address)[128]);

// Destination of every datagram.
constexpr const char* kBroadcastNode = "255.255.255.255";
constexpr const char* kBroadcastService = "50010";
constexpr std::uint16_t kBroadcastPort = 50010;
