#include "loopback.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <vector>

namespace {

sockaddr_in LoopbackAddress(std::uint16_t port)
{
    sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

void MakeQuickAndNonBlocking(SOCKET s)
{
    BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof(on));
    u_long non_blocking = 1;
    ioctlsocket(s, FIONBIO, &non_blocking);
}

std::string ErrorText()
{
    return "Windows Sockets error " + std::to_string(WSAGetLastError());
}

} // namespace

LoopbackSocket ListenLoopback(std::uint16_t port, std::string& error)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET) {
        error = "cannot create a TCP socket: " + ErrorText();
        return kNoSocket;
    }
    // No SO_REUSEADDR here: on Windows it would let a second program bind the same port.
    const sockaddr_in address = LoopbackAddress(port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(s, 8) != 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + ErrorText();
        closesocket(s);
        return kNoSocket;
    }
    MakeQuickAndNonBlocking(s);
    return static_cast<LoopbackSocket>(s);
}

LoopbackSocket AcceptLoopback(LoopbackSocket listener)
{
    const SOCKET s = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return kNoSocket;
    MakeQuickAndNonBlocking(s);
    return static_cast<LoopbackSocket>(s);
}

LoopbackSocket ConnectLoopback(std::uint16_t port)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return kNoSocket;
    const sockaddr_in address = LoopbackAddress(port);
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        closesocket(s);
        return kNoSocket;
    }
    MakeQuickAndNonBlocking(s);
    return static_cast<LoopbackSocket>(s);
}

bool SendLoopback(LoopbackSocket socket, const unsigned char* data, std::size_t size, int timeout_ms)
{
    const SOCKET s = static_cast<SOCKET>(socket);
    while (size > 0) {
        const int chunk = size > 65536 ? 65536 : static_cast<int>(size);
        const int sent = send(s, reinterpret_cast<const char*>(data), chunk, 0);
        if (sent > 0) {
            data += sent;
            size -= static_cast<std::size_t>(sent);
            continue;
        }
        if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            fd_set writable;
            FD_ZERO(&writable);
            FD_SET(s, &writable);
            timeval wait{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
            if (select(0, nullptr, &writable, nullptr, &wait) <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

long ReceiveLoopback(LoopbackSocket socket, unsigned char* buffer, std::size_t capacity)
{
    const int wanted = capacity > 65536 ? 65536 : static_cast<int>(capacity);
    const int n = recv(static_cast<SOCKET>(socket), reinterpret_cast<char*>(buffer), wanted, 0);
    if (n > 0)
        return n;
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
        return 0;
    return kLoopbackClosed;
}

bool WaitLoopback(const LoopbackSocket* sockets, std::size_t count, int timeout_ms, bool* readable)
{
    fd_set ready;
    FD_ZERO(&ready);
    for (std::size_t i = 0; i < count; ++i)
        FD_SET(static_cast<SOCKET>(sockets[i]), &ready);
    timeval wait{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    // select on Windows refuses an empty set; a plain sleep stands in for it.
    if (count == 0) {
        Sleep(static_cast<DWORD>(timeout_ms));
        return true;
    }
    const int n = select(0, &ready, nullptr, nullptr, &wait);
    for (std::size_t i = 0; i < count; ++i)
        readable[i] = n > 0 && FD_ISSET(static_cast<SOCKET>(sockets[i]), &ready);
    return n != SOCKET_ERROR;
}

void CloseLoopback(LoopbackSocket socket, bool abort)
{
    if (abort) {
        linger reset{1, 0};
        setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset),
                   sizeof(reset));
    }
    closesocket(static_cast<SOCKET>(socket));
}
