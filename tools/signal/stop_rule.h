#pragma once

// What asks kinemora-signal to stop, and how long the way down to 0 may take
// then. Every request takes the soft stop; a second one, and the end of the
// console or the session, only shorten it. Only --ramp 0 makes a step.

enum class StopEvent {
    CtrlC,        // Ctrl+C; SIGINT on POSIX
    CtrlBreak,    // Ctrl+Break
    ConsoleClose, // the console window closes
    Logoff,       // the user logs off
    Shutdown,     // Windows shuts down
    Hangup,       // SIGHUP: the terminal went away
    Terminate,    // SIGTERM
    Quit,         // SIGQUIT: Ctrl+\ on POSIX
    Suspend,      // SIGTSTP: Ctrl+Z on POSIX, which suspends once the zeros are out
};

// A second request (Ctrl+C again) leaves the way down at most this long, in seconds.
constexpr double kSecondStopWayDown = 0.25;
// After a close, logoff or shutdown Windows ends the process about 5 s later.
// The way down then takes at most kClosingWayDown seconds, and the zeros go out
// at most kClosingZerosBy seconds after the event, a second before that end.
constexpr double kClosingWayDown = 3.0;
constexpr double kClosingZerosBy = 4.0;

// True for the events after which Windows soon ends the process.
bool EndsSoon(StopEvent event);

// How the messages name the event: "Ctrl+C", "the console window is closing", ...
const char* StopEventName(StopEvent event);

// The longest the way down to 0 may take from the next datagram on, in
// seconds, after `requests` requests (1 for the first), with any of them an
// event that EndsSoon: the ramp for a first request; at most
// kSecondStopWayDown from the second on; and once Windows is ending the
// process, short enough that the zeros, at most two datagrams later than the
// ramp's end at `rate` datagrams a second, still go out by kClosingZerosBy.
double LongestWayDown(double ramp, double rate, int requests, bool ending_soon);
