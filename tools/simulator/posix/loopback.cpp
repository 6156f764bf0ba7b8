#include "loopback.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
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

void MakeQuickAndNonBlocking(int s)
{
    int on = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    fcntl(s, F_SETFL, fcntl(s, F_GETFL, 0) | O_NONBLOCK);
    fcntl(s, F_SETFD, FD_CLOEXEC);
}

} // namespace

LoopbackSocket ListenLoopback(std::uint16_t port, std::string& error)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) {
        error = std::string("cannot create a TCP socket: ") + std::strerror(errno);
        return kNoSocket;
    }
    // Lets a restarted emulator take its port while old connections linger in TIME_WAIT.
    int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    const sockaddr_in address = LoopbackAddress(port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(s, 8) != 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        close(s);
        return kNoSocket;
    }
    MakeQuickAndNonBlocking(s);
    return s;
}

LoopbackSocket AcceptLoopback(LoopbackSocket listener)
{
    const int s = accept(static_cast<int>(listener), nullptr, nullptr);
    if (s < 0)
        return kNoSocket;
    MakeQuickAndNonBlocking(s);
    return s;
}

LoopbackSocket ConnectLoopback(std::uint16_t port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return kNoSocket;
    const sockaddr_in address = LoopbackAddress(port);
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        close(s);
        return kNoSocket;
    }
    MakeQuickAndNonBlocking(s);
    return s;
}

bool SendLoopback(LoopbackSocket socket, const unsigned char* data, std::size_t size, int timeout_ms)
{
    const int s = static_cast<int>(socket);
    while (size > 0) {
        // MSG_NOSIGNAL: a peer that went away must not raise SIGPIPE in the host program.
        const ssize_t sent = send(s, data, size, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{s, POLLOUT, 0};
            if (poll(&p, 1, timeout_ms) <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

long ReceiveLoopback(LoopbackSocket socket, unsigned char* buffer, std::size_t capacity)
{
    for (;;) {
        const ssize_t n = recv(static_cast<int>(socket), buffer, capacity, 0);
        if (n > 0)
            return static_cast<long>(n);
        if (n == 0)
            return kLoopbackClosed;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : kLoopbackClosed;
    }
}

bool WaitLoopback(const LoopbackSocket* sockets, std::size_t count, int timeout_ms, bool* readable)
{
    std::vector<pollfd> polled(count);
    for (std::size_t i = 0; i < count; ++i)
        polled[i] = pollfd{static_cast<int>(sockets[i]), POLLIN, 0};
    const int ready = poll(polled.data(), static_cast<nfds_t>(count), timeout_ms);
    for (std::size_t i = 0; i < count; ++i)
        readable[i] = ready > 0 && (polled[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    return ready >= 0 || errno == EINTR;
}

void CloseLoopback(LoopbackSocket socket, bool abort)
{
    if (abort) {
        linger reset{1, 0};
        setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &reset, sizeof(reset));
    }
    close(static_cast<int>(socket));
}
