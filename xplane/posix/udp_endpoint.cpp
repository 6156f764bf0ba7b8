#include "udp_endpoint.h"

#include "xplane_protocol.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

sockaddr_in Address(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in a;
    std::memset(&a, 0, sizeof(a));
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(address);
    a.sin_port = htons(port);
    return a;
}

std::intptr_t Failed(int s, const char* what, std::string& error)
{
    error = std::string(what) + ": " + std::strerror(errno);
    if (s >= 0)
        close(s);
    return -1;
}

} // namespace

std::intptr_t OpenUdp(std::uint16_t port, std::string& error)
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0)
        return Failed(s, "cannot create a UDP socket", error);
    const sockaddr_in local = Address(INADDR_ANY, port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0)
        return Failed(s, ("cannot bind UDP port " + std::to_string(port)).c_str(), error);
    return s;
}

std::intptr_t OpenBeaconListener(std::string& error)
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0)
        return Failed(s, "cannot create a UDP socket", error);
    int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
#ifdef __APPLE__
    setsockopt(s, SOL_SOCKET, SO_REUSEPORT, &on, sizeof(on)); // macOS shares a port only so
#endif
    const sockaddr_in group = Address(kBeaconGroup, kBeaconPort);
    if (bind(s, reinterpret_cast<const sockaddr*>(&group), sizeof(group)) != 0)
        return Failed(s, "cannot bind the beacon's port 49707", error);
    ip_mreq membership;
    membership.imr_multiaddr.s_addr = htonl(kBeaconGroup);
    membership.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof(membership)) != 0)
        return Failed(s, "cannot join the beacon's group 239.255.1.1", error);
    return s;
}

bool SendUdp(std::intptr_t socket, const Endpoint& to, const void* data, std::size_t length)
{
    const sockaddr_in address = Address(to.address, to.port);
    return sendto(static_cast<int>(socket), data, length, 0, reinterpret_cast<const sockaddr*>(&address),
                  sizeof(address)) == static_cast<ssize_t>(length);
}

long ReceiveUdp(std::intptr_t socket, unsigned char* buffer, std::size_t capacity, int timeout_ms, Endpoint& from)
{
    pollfd p{static_cast<int>(socket), POLLIN, 0};
    const int ready = poll(&p, 1, timeout_ms);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return kUdpTimedOut;
    if (ready < 0)
        return kUdpFailed;
    sockaddr_in source;
    socklen_t size = sizeof(source);
    const ssize_t n = recvfrom(static_cast<int>(socket), buffer, capacity, 0, reinterpret_cast<sockaddr*>(&source),
                               &size);
    if (n < 0)
        return errno == EINTR || errno == ECONNREFUSED ? kUdpTimedOut : kUdpFailed;
    from.address = ntohl(source.sin_addr.s_addr);
    from.port = ntohs(source.sin_port);
    return static_cast<long>(n);
}

void CloseUdp(std::intptr_t socket)
{
    close(static_cast<int>(socket));
}
