#include "udp_receiver.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include <cstring>

namespace {

// WSARecvMsg is an extension of the Windows Sockets provider: it has no import,
// only a pointer asked for with WSAIoctl. Null while it could not be had;
// datagrams then arrive through recvfrom, without their destination.
LPFN_WSARECVMSG recv_msg = nullptr;

std::string ErrorText(const char* what)
{
    return std::string(what) + " (Windows Sockets error " + std::to_string(WSAGetLastError()) + ")";
}

LPFN_WSARECVMSG FindRecvMsg(SOCKET s)
{
    GUID id = WSAID_WSARECVMSG;
    LPFN_WSARECVMSG function = nullptr;
    DWORD size = 0;
    if (WSAIoctl(s, SIO_GET_EXTENSION_FUNCTION_POINTER, &id, sizeof(id), &function, sizeof(function), &size,
                 nullptr, nullptr) != 0)
        return nullptr;
    return function;
}

} // namespace

std::intptr_t OpenReceiver(std::uint16_t port, std::string& error, bool& port_held)
{
    port_held = false;
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) {
        error = ErrorText("cannot create a UDP socket");
        return -1;
    }
    BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof(on));
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on));
    int buffer = 1 << 20; // Room for bursts while the console is slow.
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof(buffer));
    // Each datagram then carries its destination address, to tell unicast from broadcast.
    DWORD pktinfo = TRUE;
    setsockopt(s, IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&pktinfo), sizeof(pktinfo));

    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        // WSAEACCES despite SO_REUSEADDR here: another socket holds the port with
        // SO_EXCLUSIVEADDRUSE (or was bound by another user without sharing it).
        port_held = WSAGetLastError() == WSAEACCES;
        error = ErrorText(("cannot bind UDP port " + std::to_string(port)).c_str());
        closesocket(s);
        return -1;
    }
    recv_msg = FindRecvMsg(s);
    return static_cast<std::intptr_t>(s);
}

long ReceiveDatagram(std::intptr_t receiver, unsigned char* buffer, std::size_t capacity,
                     int timeout_ms, ReceivedFrom& from)
{
    SOCKET s = static_cast<SOCKET>(receiver);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == 0)
        return kReceiveTimedOut;
    if (ready < 0)
        return kReceiveFailed;

    sockaddr_in source;
    std::memset(&source, 0, sizeof(source));
    from.destination = 0;
    int n = 0;
    if (recv_msg) {
        WSABUF data{static_cast<ULONG>(capacity), reinterpret_cast<char*>(buffer)};
        alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))];
        WSAMSG message;
        std::memset(&message, 0, sizeof(message));
        message.name = reinterpret_cast<sockaddr*>(&source);
        message.namelen = sizeof(source);
        message.lpBuffers = &data;
        message.dwBufferCount = 1;
        message.Control.len = sizeof(control);
        message.Control.buf = control;
        DWORD received = 0;
        if (recv_msg(s, &message, &received, nullptr, nullptr) == 0) {
            n = static_cast<int>(received);
            for (WSACMSGHDR* c = WSA_CMSG_FIRSTHDR(&message); c != nullptr; c = WSA_CMSG_NXTHDR(&message, c)) {
                if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                    IN_PKTINFO info;
                    std::memcpy(&info, WSA_CMSG_DATA(c), sizeof(info));
                    from.destination = ntohl(info.ipi_addr.s_addr); // the header's destination
                }
            }
        } else {
            n = -1;
        }
    } else {
        int source_length = sizeof(source);
        n = recvfrom(s, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                     reinterpret_cast<sockaddr*>(&source), &source_length);
    }
    // A datagram longer than the buffer arrives cut to the buffer's size.
    if (n < 0 && WSAGetLastError() == WSAEMSGSIZE)
        n = static_cast<int>(capacity);
    else if (n < 0)
        return kReceiveFailed;
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &source.sin_addr, text, sizeof(text));
    from.address = text;
    from.port = ntohs(source.sin_port);
    return n;
}

void CloseReceiver(std::intptr_t receiver)
{
    closesocket(static_cast<SOCKET>(receiver));
}
