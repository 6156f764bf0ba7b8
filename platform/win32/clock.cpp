#include "clock.h"

#include <windows.h>

void SleepMilliseconds(std::uint32_t milliseconds)
{
    Sleep(milliseconds);
}

std::int64_t ReadCounterFrequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

std::int64_t ReadCounter()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}
