#include "socket_startup.h"

#include <winsock2.h>

void StartSockets()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}
