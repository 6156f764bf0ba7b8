#include "end_request.h"

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace {

std::atomic<bool> requested{false};

void OnSignal(int)
{
    requested = true;
}

} // namespace

void CatchEndRequests()
{
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(number, OnSignal);
}

bool EndRequested()
{
    return requested;
}

void EndRequestAnswered() {}
