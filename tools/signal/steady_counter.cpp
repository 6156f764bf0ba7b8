#include "steady_counter.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t Frequency()
{
    return static_cast<std::int64_t>(Clock::period::den / Clock::period::num);
}

std::int64_t Count()
{
    return static_cast<std::int64_t>(Clock::now().time_since_epoch().count());
}

} // namespace

PerformanceCounter SteadyCounter()
{
    static_assert(Clock::period::num == 1, "whole ticks per second");
    return PerformanceCounter{&Frequency, &Count};
}
