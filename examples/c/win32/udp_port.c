/* udp_port.h for Windows (Winsock 2; link with ws2_32). */
#include "udp_port.h"

#include <winsock2.h>

#include <stdio.h>
#include <string.h>

static SOCKET sock = INVALID_SOCKET;

int udp_port_open(unsigned short port, char* error, size_t error_size)
{
    struct sockaddr_in local;
    WSADATA wsa;
    BOOL on = TRUE;

    /* Windows needs Winsock started before the first socket. */
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        snprintf(error, error_size, "cannot start Windows Sockets");
        return -1;
    }
    sock = socket(AF_INET, SOCK_DGRAM, 0);
    if (sock == INVALID_SOCKET) {
        snprintf(error, error_size, "cannot create a UDP socket (Windows Sockets error %d)", WSAGetLastError());
        WSACleanup();
        return -1;
    }
    /* Lets a second receiver on this machine (kinemora-listen, say) bind the port too. */
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, (const char*)&on, sizeof on);

    memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(sock, (struct sockaddr*)&local, sizeof local) != 0) {
        snprintf(error, error_size, "cannot bind UDP port %u (Windows Sockets error %d)", (unsigned)port,
                 WSAGetLastError());
        closesocket(sock);
        sock = INVALID_SOCKET;
        WSACleanup();
        return -1;
    }
    return 0;
}

long udp_port_receive(unsigned char* buffer, size_t capacity, int timeout_ms, char* source, size_t source_size)
{
    struct sockaddr_in from;
    int from_size = sizeof from;
    struct timeval wait;
    fd_set readable;
    unsigned long a;
    int ready, n;

    FD_ZERO(&readable);
    FD_SET(sock, &readable);
    wait.tv_sec = timeout_ms / 1000;
    wait.tv_usec = (timeout_ms % 1000) * 1000;
    ready = select(0, &readable, NULL, NULL, &wait);
    if (ready == 0)
        return UDP_PORT_TIMED_OUT;
    if (ready < 0)
        return UDP_PORT_FAILED;

    n = recvfrom(sock, (char*)buffer, (int)capacity, 0, (struct sockaddr*)&from, &from_size);
    /* Windows refuses a datagram longer than capacity instead of cutting it. */
    if (n < 0 && WSAGetLastError() == WSAEMSGSIZE)
        n = (int)capacity;
    else if (n < 0)
        return UDP_PORT_FAILED;
    a = ntohl(from.sin_addr.s_addr);
    snprintf(source, source_size, "%lu.%lu.%lu.%lu", (a >> 24) & 255, (a >> 16) & 255, (a >> 8) & 255, a & 255);
    return (long)n;
}

void udp_port_close(void)
{
    if (sock != INVALID_SOCKET) {
        closesocket(sock);
        WSACleanup();
    }
    sock = INVALID_SOCKET;
}
