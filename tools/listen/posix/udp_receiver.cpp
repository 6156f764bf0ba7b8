#include "udp_receiver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::intptr_t OpenReceiver(std::uint16_t port, std::string& error, bool& port_held)
{
    port_held = false;
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
    // Each datagram then carries its destination address, to tell unicast from broadcast.
    setsockopt(s, IPPROTO_IP, IP_PKTINFO, &on, sizeof(on));

    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        // Despite SO_REUSEADDR here: the socket that has the port did not allow sharing.
        port_held = errno == EADDRINUSE;
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
    iovec data{buffer, capacity};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message;
    std::memset(&message, 0, sizeof(message));
    message.msg_name = &source;
    message.msg_namelen = sizeof(source);
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    ssize_t n = recvmsg(static_cast<int>(receiver), &message, MSG_TRUNC);
    if (n < 0)
        return errno == EINTR ? kReceiveTimedOut : kReceiveFailed;
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &source.sin_addr, text, sizeof(text));
    from.address = text;
    from.port = ntohs(source.sin_port);
    from.destination = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof(info));
            from.destination = ntohl(info.ipi_addr.s_addr); // the header's destination
        }
    }
    // MSG_TRUNC reports the datagram's real length; only capacity bytes were stored.
    return static_cast<long>(static_cast<std::size_t>(n) < capacity ? n : static_cast<ssize_t>(capacity));
}

void CloseReceiver(std::intptr_t receiver)
{
    close(static_cast<int>(receiver));
}
