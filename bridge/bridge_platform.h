#pragma once

// The bridge's platform seam: timer resolution, sleeping, the high-resolution
// counter and the console. (Windows Sockets start-up lives beside the sender.)

#include <cstdint>

// Makes sleeps last about what they ask for for the rest of the program: 1 ms
// timer resolution on Windows, which otherwise sleeps in 15.6 ms steps.
void RaiseTimerResolution();

void SleepMilliseconds(std::uint32_t milliseconds);

// The high-resolution counter: ticks per second, and the current tick count.
std::int64_t ReadCounterFrequency();
std::int64_t ReadCounter();

// Where standard output is a console, turns off its mouse selection
// (QuickEdit): while a selection is open, Windows holds every write to the
// console, and the bridge's one thread would stop inside a print. Keeps every
// other input mode bit. The console keeps the setting after the bridge ends.
// Changes nothing when standard output is not a console, and on POSIX.
void TurnOffQuickEdit();

// True when a bridge started with --exit-with-simulator runs on this machine
// already. With claim, and none running, this bridge becomes that one until
// it ends. A named mutex on Windows, a locked file elsewhere.
bool OtherBridgeWithSimulator(bool claim);
