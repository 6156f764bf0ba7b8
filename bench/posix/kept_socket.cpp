#include "kept_socket.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

std::intptr_t OpenKeptSocket()
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    int on = 1;
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
    return s;
}

void SendOnKeptSocket(std::intptr_t socket, const unsigned char (&destination)[128], const void* data,
                      std::int32_t length)
{
    sendto(static_cast<int>(socket), data, static_cast<size_t>(length), 0,
           reinterpret_cast<const sockaddr*>(destination), 128);
}

void CloseKeptSocket(std::intptr_t socket)
{
    close(static_cast<int>(socket));
}
