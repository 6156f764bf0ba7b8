#pragma once

// The bridge's platform seam: timer resolution, sleeping, the high-resolution
// counter, the one-bridge lock and the console window. (Windows Sockets
// start-up lives beside the sender, QuickEdit in settings/console_mode.h.)

#include <cstdint>

void SleepMilliseconds(std::uint32_t milliseconds);

// The high-resolution counter: ticks per second, and the current tick count.
std::int64_t ReadCounterFrequency();
std::int64_t ReadCounter();

// Claims this machine's one bridge for this process until it ends. False
// when another bridge holds it already: then this one must send nothing. A
// named mutex of the session on Windows, a locked file elsewhere.
bool ClaimOnlyBridge();

// For a bridge whose console window was opened for it alone (it was
// double-clicked, so it is the console's only process): keeps an error it has
// just printed readable, waiting for Enter or for 15 s before the window
// closes. Returns at once otherwise, and on POSIX.
void HoldConsoleAfterError();
