#include "clock.h"

#include <ctime>

void SleepMilliseconds(std::uint32_t milliseconds)
{
    timespec wait{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    timespec left;
    while (nanosleep(&wait, &left) != 0)
        wait = left;
}

// The monotonic clock counts nanoseconds.
std::int64_t ReadCounterFrequency()
{
    return 1000000000;
}

std::int64_t ReadCounter()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}
