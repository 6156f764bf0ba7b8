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

void BroadcastSender(const void* data, std::int32_t length)
{
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);

    char broadcast = 1; // one byte, as Windows Sockets accepts it
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, &broadcast, 1);

    sockaddr_in addrListen;
    std::memset(&addrListen, 0, sizeof(addrListen));
    addrListen.sin_family = AF_INET;
    bind(s, reinterpret_cast<const sockaddr*>(&addrListen), 16);

    unsigned char addrDest[128];
    std::memset(addrDest, 0, sizeof(addrDest));
    ResolveSocketAddress(kBroadcastNode, AF_INET, kBroadcastService, addrDest);

    sendto(s, static_cast<const char*>(data), length, 0,
           reinterpret_cast<const sockaddr*>(addrDest), 128);

    closesocket(s);
}
