#include "stop_rule.h"

#include <algorithm>

bool EndsSoon(StopEvent event)
{
    return event == StopEvent::ConsoleClose || event == StopEvent::Logoff || event == StopEvent::Shutdown;
}

const char* StopEventName(StopEvent event)
{
    switch (event) {
    case StopEvent::CtrlC:
        return "Ctrl+C";
    case StopEvent::CtrlBreak:
        return "Ctrl+Break";
    case StopEvent::ConsoleClose:
        return "the console window is closing";
    case StopEvent::Logoff:
        return "the user is logging off";
    case StopEvent::Shutdown:
        return "Windows is shutting down";
    case StopEvent::Hangup:
        return "SIGHUP";
    case StopEvent::Terminate:
        return "SIGTERM";
    case StopEvent::Quit:
        return "SIGQUIT";
    case StopEvent::Suspend:
        return "Ctrl+Z";
    }
    return "a stop request";
}

double LongestWayDown(double ramp, double rate, int requests, bool ending_soon)
{
    double longest = ramp;
    if (requests >= 2)
        longest = std::min(longest, kSecondStopWayDown);
    if (ending_soon)
        longest = std::min({longest, kClosingWayDown, kClosingZerosBy - 2.0 / rate});
    return std::max(longest, 0.0);
}
