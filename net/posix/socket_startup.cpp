#include "socket_startup.h"

// POSIX sockets need no start-up.
void StartSockets() {}
