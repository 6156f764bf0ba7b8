#include "udp_endpoint.h"

#include "xplane_protocol.h"

#include <winsock2.h>
#include <ws2tcpip.h>

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

std::intptr_t Failed(SOCKET s, const std::string& what, std::string& error)
{
    error = what + ": Windows Sockets error " + std::to_string(WSAGetLastError());
    if (s != INVALID_SOCKET)
        closesocket(s);
    return -1;
}

} // namespace

std::intptr_t OpenUdp(std::uint16_t port, std::string& error)
{
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET)
        return Failed(s, "cannot create a UDP socket", error);
    const sockaddr_in local = Address(INADDR_ANY, port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0)
        return Failed(s, "cannot bind UDP port " + std::to_string(port), error);
    // A datagram that found no listener makes the next receive fail with
    // WSAECONNRESET; X-Plane not running yet is no reason to stop.
    BOOL off = FALSE;
    DWORD returned = 0;
    WSAIoctl(s, _WSAIOW(IOC_VENDOR, 12), &off, sizeof(off), nullptr, 0, &returned, nullptr, nullptr);
    return static_cast<std::intptr_t>(s);
}

std::intptr_t OpenBeaconListener(std::string& error)
{
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET)
        return Failed(s, "cannot create a UDP socket", error);
    const char on = 1; // char on win32
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    // Windows binds no multicast group address: the port on every address.
    const sockaddr_in local = Address(INADDR_ANY, kBeaconPort);
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0)
        return Failed(s, "cannot bind the beacon's port 49707", error);
    ip_mreq membership;
    membership.imr_multiaddr.s_addr = htonl(kBeaconGroup);
    membership.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&membership),
                   sizeof(membership)) != 0)
        return Failed(s, "cannot join the beacon's group 239.255.1.1", error);
    return static_cast<std::intptr_t>(s);
}

bool SendUdp(std::intptr_t socket, const Endpoint& to, const void* data, std::size_t length)
{
    const sockaddr_in address = Address(to.address, to.port);
    return sendto(static_cast<SOCKET>(socket), static_cast<const char*>(data), static_cast<int>(length), 0,
                  reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == static_cast<int>(length);
}

long ReceiveUdp(std::intptr_t socket, unsigned char* buffer, std::size_t capacity, int timeout_ms, Endpoint& from)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(static_cast<SOCKET>(socket), &readable);
    timeval wait{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    const int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == 0)
        return kUdpTimedOut;
    if (ready < 0)
        return kUdpFailed;
    sockaddr_in source;
    int size = sizeof(source);
    const int n = recvfrom(static_cast<SOCKET>(socket), reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                           reinterpret_cast<sockaddr*>(&source), &size);
    if (n < 0)
        return WSAGetLastError() == WSAECONNRESET || WSAGetLastError() == WSAEMSGSIZE ? kUdpTimedOut : kUdpFailed;
    from.address = ntohl(source.sin_addr.s_addr);
    from.port = ntohs(source.sin_port);
    return n;
}

void CloseUdp(std::intptr_t socket)
{
    closesocket(static_cast<SOCKET>(socket));
}
