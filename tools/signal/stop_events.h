#pragma once

// The requests to stop that reach kinemora-signal, one file per platform.
// Windows: Ctrl+C, Ctrl+Break, closing the console window, logging off and
// shutting down (console control events, and the end of the session as a
// hidden window hears it). POSIX: SIGINT, SIGHUP, SIGTERM, SIGQUIT and
// SIGTSTP (Ctrl+Z). None of them ends the program: each is counted, and the
// main loop ramps down and sends the zeros.

#include "stop_rule.h"

struct StopRequests {
    int count = 0;                      // requests so far
    StopEvent latest = StopEvent::CtrlC; // the latest one, when count > 0
    bool ending_soon = false;           // any of them an event after which Windows ends the process
    bool suspend = false;               // any of them Ctrl+Z, which suspends once the zeros are out
};

// Starts catching the requests; call it once, before the first datagram. On
// POSIX a closed pipe on the output is ignored from then on: no write ends the
// program before the zeros.
void CatchStopRequests();

StopRequests StopRequestsSoFar();

// Waits for at most `seconds`, less when a request comes. Windows: wakes at
// once on a request (its waits end at whole milliseconds, up to one early).
// POSIX: a signal ends the wait too, unless it came just before the wait.
void WaitForStopRequest(double seconds);

// Tells that the datagram of zeros has gone out (or that the run ended): an
// event that EndsSoon is held until then, at most about 5 s, since Windows
// ends the process as soon as it has been answered.
void StopRequestsAnswered();

// After the zeros of a run that Ctrl+Z stopped: suspends the program as the
// shell expects and returns once it is resumed, or at once where no shell
// could resume it.
void Suspend();
