// port_holder: holds a UDP port for itself (SO_EXCLUSIVEADDRUSE), as some rig
// software does, for tests/e2e/test_listener.py.
//
//   port_holder PORT
//
// Prints "holding PORT" once the port is bound, then holds it until a line or
// the end arrives on standard input. Exits 1 when the port cannot be had.
#include "socket_startup.h"

#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    StartSockets();
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof(on));
    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(std::atoi(argv[1])));
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        std::printf("cannot hold port %s (Windows Sockets error %d)\n", argv[1], WSAGetLastError());
        return 1;
    }
    std::printf("holding %s\n", argv[1]);
    std::fflush(stdout);
    std::getchar();
    closesocket(s);
    return 0;
}
