// POSIX sockets backend for native builds.
#include "broadcast_sender.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
    int s = socket(AF_INET, SOCK_DGRAM, 0);

    int broadcast = 1; // Linux wants the option as a full int.
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, &broadcast, sizeof(broadcast));

    sockaddr_in addrListen;
    std::memset(&addrListen, 0, sizeof(addrListen));
    addrListen.sin_family = AF_INET;
    bind(s, reinterpret_cast<const sockaddr*>(&addrListen), 16);

    unsigned char addrDest[128];
    std::memset(addrDest, 0, sizeof(addrDest));
    ResolveSocketAddress(kBroadcastNode, AF_INET, kBroadcastService, addrDest);

    // Linux refuses an IPv4 destination longer than sockaddr_storage, and 128 is exactly that.
    sendto(s, data, static_cast<size_t>(length), 0,
           reinterpret_cast<const sockaddr*>(addrDest), 128);

    close(s);
}
