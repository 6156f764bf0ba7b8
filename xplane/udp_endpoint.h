#pragma once

// kinemora_xplane's UDP sockets and its stand-in's: one socket that sends the
// requests and receives X-Plane's answers, and the beacon's listener. One file
// per platform.

#include <cstddef>
#include <cstdint>
#include <string>

struct Endpoint {
    std::uint32_t address = 0; // host byte order
    std::uint16_t port = 0;
};

// "192.168.1.5:49000"
std::string EndpointText(const Endpoint& endpoint);

// The IPv4 address of a computer's name or dotted address; false when there is none.
bool ResolveIPv4(const std::string& host, std::uint32_t& address);

// A UDP socket on every local address and port (0: one the system picks);
// -1 with the system's words in error.
std::intptr_t OpenUdp(std::uint16_t port, std::string& error);

// The listener of X-Plane's beacon on the group 239.255.1.1, port 49707,
// shared with other listeners (SO_REUSEADDR; SO_REUSEPORT on macOS). Windows
// binds the port itself, other systems the group.
std::intptr_t OpenBeaconListener(std::string& error);

bool SendUdp(std::intptr_t socket, const Endpoint& to, const void* data, std::size_t length);

constexpr long kUdpTimedOut = -1;
constexpr long kUdpFailed = -2;

// Waits up to timeout_ms for one datagram: its length, kUdpTimedOut or kUdpFailed.
long ReceiveUdp(std::intptr_t socket, unsigned char* buffer, std::size_t capacity, int timeout_ms, Endpoint& from);

void CloseUdp(std::intptr_t socket);
