/* udp_port.h for Linux, macOS and other POSIX systems. */
#define _POSIX_C_SOURCE 200112L

#include "udp_port.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

static int sock = -1;

int udp_port_open(unsigned short port, char* error, size_t error_size)
{
    struct sockaddr_in local;
    int on = 1;

    sock = socket(AF_INET, SOCK_DGRAM, 0);
    if (sock < 0) {
        snprintf(error, error_size, "cannot create a UDP socket: %s", strerror(errno));
        return -1;
    }
    /* Lets a second receiver on this machine (kinemora-listen, say) bind the port too. */
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);

    memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(sock, (struct sockaddr*)&local, sizeof local) != 0) {
        snprintf(error, error_size, "cannot bind UDP port %u: %s", (unsigned)port, strerror(errno));
        close(sock);
        sock = -1;
        return -1;
    }
    return 0;
}

long udp_port_receive(unsigned char* buffer, size_t capacity, int timeout_ms, char* source, size_t source_size)
{
    struct pollfd p;
    struct sockaddr_in from;
    socklen_t from_size = sizeof from;
    unsigned long a;
    ssize_t n;
    int ready;

    p.fd = sock;
    p.events = POLLIN;
    p.revents = 0;
    ready = poll(&p, 1, timeout_ms);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return UDP_PORT_TIMED_OUT;
    if (ready < 0)
        return UDP_PORT_FAILED;

    /* A datagram longer than capacity arrives cut to capacity. */
    n = recvfrom(sock, buffer, capacity, 0, (struct sockaddr*)&from, &from_size);
    if (n < 0)
        return errno == EINTR ? UDP_PORT_TIMED_OUT : UDP_PORT_FAILED;
    a = ntohl(from.sin_addr.s_addr);
    snprintf(source, source_size, "%lu.%lu.%lu.%lu", (a >> 24) & 255, (a >> 16) & 255, (a >> 8) & 255, a & 255);
    return (long)n;
}

void udp_port_close(void)
{
    if (sock >= 0)
        close(sock);
    sock = -1;
}
