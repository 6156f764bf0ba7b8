#pragma once

// Starts Windows Sockets 2.2 for the calling process; nothing to do on POSIX.
// Each call raises Windows' own count of start-ups, so a process that already
// started it loses nothing. Nobody in Kinemora ever cleans it up: a sender may
// run until the process ends. The result is not examined.
void StartSockets();
