#include "stop_events.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <initializer_list>

namespace {

// Lock-free atomics: safe to touch from a signal handler.
std::atomic<int> count{0};
std::atomic<int> latest{static_cast<int>(StopEvent::CtrlC)};
std::atomic<bool> suspend{false};

void OnSignal(int number)
{
    const StopEvent event = number == SIGHUP    ? StopEvent::Hangup
                            : number == SIGTERM ? StopEvent::Terminate
                            : number == SIGQUIT ? StopEvent::Quit
                            : number == SIGTSTP ? StopEvent::Suspend
                                                : StopEvent::CtrlC;
    latest = static_cast<int>(event);
    if (event == StopEvent::Suspend)
        suspend = true;
    ++count;
}

} // namespace

void CatchStopRequests()
{
    // A terminal that went away with its pager or tee must not end the
    // program before the zeros.
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGHUP, SIGTERM, SIGQUIT, SIGTSTP})
        sigaction(number, &action, nullptr);
}

StopRequests StopRequestsSoFar()
{
    StopRequests requests;
    requests.count = count.load();
    requests.latest = static_cast<StopEvent>(latest.load());
    requests.suspend = suspend.load();
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

void Suspend()
{
    // The stop as the shell knows it. In a process group that no shell
    // controls, the system drops it and the program goes on to its end.
    std::signal(SIGTSTP, SIG_DFL);
    std::raise(SIGTSTP);
}
