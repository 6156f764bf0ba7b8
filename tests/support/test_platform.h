#pragma once

// The platform seam of the test helpers.

// Starts Windows Sockets 2.2 where the platform needs it; nothing on POSIX.
void StartSockets();

// Number of open handles of this process: file descriptors on POSIX, the
// process handle count on Windows. Tests use it to prove that nothing leaks.
long OpenHandleCount();

// The slot the next handle would take: the lowest free file descriptor on
// POSIX, the next handle value on Windows (Wine reports no handle count, but
// it too hands out the lowest free slot). Leaked handles push it up.
long NextHandleSlot();
