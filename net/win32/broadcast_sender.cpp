// Windows Sockets backend. The caller must have started Windows Sockets
// (StartSockets); the sender itself never starts or stops it.
#include "broadcast_sender.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

static_assert(sizeof(sockaddr_storage) == 128, "destination buffer is the generic address storage");

std::int32_t ResolveSocketAddress(const char* node, std::int32_t family, const char* service,
                                  unsigned char (&address)[128])
{
    addrinfo* result_list = nullptr;
    addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = family;
    hints.ai_socktype = SOCK_DGRAM;

    const int code = getaddrinfo(node, service, &hints, &result_list);
    if (code == 0) {
        const std::size_t n = result_list->ai_addrlen < sizeof(address) ? result_list->ai_addrlen : sizeof(address);
        std::memcpy(address, result_list->ai_addr, n);
        freeaddrinfo(result_list);
    }
    return code;
}

namespace {

// Keeps the first failure only: the later steps often fail because of it.
void Failed(SendOutcome* outcome, SendStep step, int error)
{
    if (outcome->failed == SendStep::None) {
        outcome->failed = step;
        outcome->error = error;
    }
}

} // namespace

// WSAGetLastError is called only when an outcome is wanted and a step failed,
// so that a send without one makes exactly the calls of the steps.
void SendDatagramTo(const Destination& destination, const void* data, std::int32_t length, SendOutcome* outcome)
{
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (outcome && s == INVALID_SOCKET)
        Failed(outcome, SendStep::Socket, WSAGetLastError());

    char broadcast = 1; // one byte, as Windows Sockets accepts it
    if (setsockopt(s, SOL_SOCKET, SO_BROADCAST, &broadcast, 1) == SOCKET_ERROR && outcome)
        Failed(outcome, SendStep::Option, WSAGetLastError());

    sockaddr_in addrListen;
    std::memset(&addrListen, 0, sizeof(addrListen));
    addrListen.sin_family = AF_INET;
    if (bind(s, reinterpret_cast<const sockaddr*>(&addrListen), 16) == SOCKET_ERROR && outcome)
        Failed(outcome, SendStep::Bind, WSAGetLastError());

    unsigned char addrDest[128];
    std::memset(addrDest, 0, sizeof(addrDest));
    const std::int32_t resolved = ResolveSocketAddress(destination.node, AF_INET, destination.service, addrDest);
    if (outcome && resolved != 0)
        Failed(outcome, SendStep::Resolve, resolved);

    if (sendto(s, static_cast<const char*>(data), length, 0, reinterpret_cast<const sockaddr*>(addrDest), 128) ==
            SOCKET_ERROR &&
        outcome)
        Failed(outcome, SendStep::Send, WSAGetLastError());

    closesocket(s);
}

void BroadcastSender(const void* data, std::int32_t length)
{
    SendDatagramTo(Destination(), data, length);
}
