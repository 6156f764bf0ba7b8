#pragma once

// Makes waits of a few milliseconds last about what they ask for, for the rest
// of the process: 1 ms timer resolution on Windows, which otherwise waits in
// 15.6 ms steps. Nothing to do on POSIX.
void RaiseTimerResolution();
