#include "stop_events.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <initializer_list>

namespace {

// Lock-free atomics: safe to touch from a signal handler.
std::atomic<int> count{0};
std::atomic<int> latest{static_cast<int>(StopEvent::CtrlC)};

void OnSignal(int number)
{
    latest = static_cast<int>(number == SIGHUP    ? StopEvent::Hangup
                              : number == SIGTERM ? StopEvent::Terminate
                                                  : StopEvent::CtrlC);
    // Once stopping, a closed pipe on the output (a terminal that went away
    // with its pager or tee) must not end the program before the zeros.
    std::signal(SIGPIPE, SIG_IGN);
    ++count;
}

} // namespace

void CatchStopRequests()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGHUP, SIGTERM})
        sigaction(number, &action, nullptr);
}

StopRequests StopRequestsSoFar()
{
    StopRequests requests;
    requests.count = count.load();
    requests.latest = static_cast<StopEvent>(latest.load());
    return requests;
}

void WaitForStopRequest(double seconds)
{
    if (seconds <= 0.0)
        return;
    timespec wait;
    wait.tv_sec = static_cast<std::time_t>(seconds);
    wait.tv_nsec = static_cast<long>((seconds - static_cast<double>(wait.tv_sec)) * 1e9);
    // A signal ends nanosleep with EINTR, whatever SA_RESTART says.
    nanosleep(&wait, nullptr);
}

void StopRequestsAnswered() {}
