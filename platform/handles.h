#pragma once

// The platform seam of the project's tools and test helpers, one file per
// platform. (Windows Sockets start-up is net/'s StartSockets.)

// Number of open handles of this process: file descriptors on POSIX, the
// process handle count on Windows (Wine always reports 0).
long OpenHandleCount();

// The slot the next handle would take: the lowest free file descriptor on
// POSIX, the next handle value on Windows (Wine hands out the lowest free
// slot too). Leaked handles push it up.
long NextHandleSlot();
