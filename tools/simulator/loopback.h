#pragma once

// The simulator link's platform seam: TCP sockets on 127.0.0.1 only.
// Connected and accepted sockets are non-blocking and send without delay
// (no Nagle), so that a record leaves as soon as it is written.

#include <cstddef>
#include <cstdint>
#include <string>

using LoopbackSocket = std::intptr_t;
constexpr LoopbackSocket kNoSocket = -1;

// A listening socket on 127.0.0.1:port, or kNoSocket with a readable reason.
LoopbackSocket ListenLoopback(std::uint16_t port, std::string& error);

// The next waiting connection, or kNoSocket when none waits.
LoopbackSocket AcceptLoopback(LoopbackSocket listener);

// Connects to 127.0.0.1:port; kNoSocket when nobody listens there.
LoopbackSocket ConnectLoopback(std::uint16_t port);

// Sends all bytes, waiting up to timeout_ms for room; false when the
// connection is gone or stays full.
bool SendLoopback(LoopbackSocket socket, const unsigned char* data, std::size_t size, int timeout_ms);

constexpr long kLoopbackClosed = -1;

// Copies what has arrived, up to capacity, without waiting. Returns the byte
// count, 0 when nothing waits, or kLoopbackClosed when the peer closed the
// connection or it failed.
long ReceiveLoopback(LoopbackSocket socket, unsigned char* buffer, std::size_t capacity);

// Waits up to timeout_ms until one of the sockets has something to read (a
// connection to accept, data, or a close); sets readable[i] for each. Returns
// false if the wait itself failed.
bool WaitLoopback(const LoopbackSocket* sockets, std::size_t count, int timeout_ms, bool* readable);

// Closes the socket. abort sends a reset instead of an orderly close, as a
// crashing process would leave it.
void CloseLoopback(LoopbackSocket socket, bool abort = false);
