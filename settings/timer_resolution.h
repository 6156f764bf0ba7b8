#pragma once

// Timer resolution, for the bridge and the tools. One file per platform.

// Asks for 1 ms timer resolution for the life of the process, so that sleeps
// and waits last about what they ask for on Windows (15.6 ms steps
// otherwise); Windows restores it when the process ends. Nothing on POSIX,
// whose sleeps already have a fine resolution.
void UseMillisecondTimers();
