#include "udp_receiver.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

static std::string ErrorText(const char* what)
{
    return std::string(what) + " (Windows Sockets error " + std::to_string(WSAGetLastError()) + ")";
}

std::intptr_t OpenReceiver(std::uint16_t port, std::string& error)
{
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

    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        error = ErrorText(("cannot bind UDP port " + std::to_string(port)).c_str());
        closesocket(s);
        return -1;
    }
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
    int source_length = sizeof(source);
    int n = recvfrom(s, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                     reinterpret_cast<sockaddr*>(&source), &source_length);
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
