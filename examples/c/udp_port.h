/*
 * The receiver's only platform-specific part: one UDP socket bound to a port
 * on every local address. posix/udp_port.c (Linux, macOS, Raspberry Pi) and
 * win32/udp_port.c (Windows, link with ws2_32) implement it; build
 * receiver.c with the one for your system.
 */
#ifndef UDP_PORT_H
#define UDP_PORT_H

#include <stddef.h>

#define UDP_PORT_TIMED_OUT (-1L)
#define UDP_PORT_FAILED (-2L)

/* Opens the socket on 0.0.0.0:port (a socket bound to one address may miss
 * broadcasts). Returns 0, or -1 with a readable reason in error. */
int udp_port_open(unsigned short port, char* error, size_t error_size);

/* Waits up to timeout_ms for one datagram and copies at most capacity bytes
 * of it. Returns its length (0 is possible), UDP_PORT_TIMED_OUT or
 * UDP_PORT_FAILED. The sender's dotted IPv4 address goes to source. */
long udp_port_receive(unsigned char* buffer, size_t capacity, int timeout_ms, char* source, size_t source_size);

void udp_port_close(void);

#endif
