#include "udp_receiver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::intptr_t OpenReceiver(std::uint16_t port, std::string& error)
{
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) {
        error = std::string("cannot create a UDP socket: ") + std::strerror(errno);
        return -1;
    }
    // With SO_REUSEADDR on every socket, several local listeners all receive the broadcasts.
    int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
    int buffer = 1 << 20; // Room for bursts while the console is slow.
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer));

    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        error = "cannot bind UDP port " + std::to_string(port) + ": " + std::strerror(errno);
        close(s);
        return -1;
    }
    return s;
}

long ReceiveDatagram(std::intptr_t receiver, unsigned char* buffer, std::size_t capacity,
                     int timeout_ms, ReceivedFrom& from)
{
    pollfd p{static_cast<int>(receiver), POLLIN, 0};
    int ready = poll(&p, 1, timeout_ms);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return kReceiveTimedOut;
    if (ready < 0)
        return kReceiveFailed;

    sockaddr_in source;
    socklen_t source_length = sizeof(source);
    ssize_t n = recvfrom(static_cast<int>(receiver), buffer, capacity, MSG_TRUNC,
                         reinterpret_cast<sockaddr*>(&source), &source_length);
    if (n < 0)
        return errno == EINTR ? kReceiveTimedOut : kReceiveFailed;
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &source.sin_addr, text, sizeof(text));
    from.address = text;
    from.port = ntohs(source.sin_port);
    // MSG_TRUNC reports the datagram's real length; only capacity bytes were stored.
    return static_cast<long>(static_cast<std::size_t>(n) < capacity ? n : static_cast<ssize_t>(capacity));
}

void CloseReceiver(std::intptr_t receiver)
{
    close(static_cast<int>(receiver));
}
