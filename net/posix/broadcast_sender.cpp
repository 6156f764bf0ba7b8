// POSIX sockets backend for native builds.
#include "broadcast_sender.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
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

void SendDatagramTo(const Destination& destination, const void* data, std::int32_t length, SendOutcome* outcome)
{
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (outcome && s < 0)
        Failed(outcome, SendStep::Socket, errno);

    int broadcast = 1; // Linux wants the option as a full int.
    const int option = setsockopt(s, SOL_SOCKET, SO_BROADCAST, &broadcast, sizeof(broadcast));
    if (outcome && option != 0)
        Failed(outcome, SendStep::Option, errno);

    sockaddr_in addrListen;
    std::memset(&addrListen, 0, sizeof(addrListen));
    addrListen.sin_family = AF_INET;
    const int bound = bind(s, reinterpret_cast<const sockaddr*>(&addrListen), 16);
    if (outcome && bound != 0)
        Failed(outcome, SendStep::Bind, errno);

    unsigned char addrDest[128];
    std::memset(addrDest, 0, sizeof(addrDest));
    const std::int32_t resolved = ResolveSocketAddress(destination.node, AF_INET, destination.service, addrDest);
    if (outcome && resolved != 0)
        Failed(outcome, SendStep::Resolve, resolved);

    // Linux refuses an IPv4 destination longer than sockaddr_storage, and 128 is exactly that.
    const ssize_t sent = sendto(s, data, static_cast<size_t>(length), 0,
                                reinterpret_cast<const sockaddr*>(addrDest), 128);
    if (outcome && sent < 0)
        Failed(outcome, SendStep::Send, errno);

    close(s);
}

void BroadcastSender(const void* data, std::int32_t length)
{
    SendDatagramTo(Destination(), data, length);
}
