#include "bridge_platform.h"

#include <winsock2.h>
#include <windows.h>
#include <mmsystem.h>

void StartSockets()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}

// Stays in force until the process ends; Windows restores the resolution then.
void RaiseTimerResolution()
{
    timeBeginPeriod(1);
}

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
