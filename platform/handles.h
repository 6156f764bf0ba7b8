#pragma once

// Handle counts, for the tools and tests that look for leaked handles. One
// file per platform.

// Number of open handles of this process: file descriptors on POSIX, the
// process handle count on Windows (Wine always reports 0).
long OpenHandleCount();

// The slot the next handle would take: the lowest free file descriptor on
// POSIX, the next handle value on Windows (Wine hands out the lowest free
// slot too). Leaked handles push it up.
long NextHandleSlot();
