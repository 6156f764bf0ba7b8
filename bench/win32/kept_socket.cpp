#include "kept_socket.h"

#include <winsock2.h>

std::intptr_t OpenKeptSocket()
{
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    char on = 1;
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, 1);
    return static_cast<std::intptr_t>(s);
}

void SendOnKeptSocket(std::intptr_t socket, const unsigned char (&destination)[128], const void* data,
                      std::int32_t length)
{
    sendto(static_cast<SOCKET>(socket), static_cast<const char*>(data), length, 0,
           reinterpret_cast<const sockaddr*>(destination), 128);
}

void CloseKeptSocket(std::intptr_t socket)
{
    closesocket(static_cast<SOCKET>(socket));
}
