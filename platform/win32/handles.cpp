#include "handles.h"

#include <windows.h>

#include <cstdint>

long OpenHandleCount()
{
    DWORD count = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &count))
        return -1;
    return static_cast<long>(count);
}

long NextHandleSlot()
{
    HANDLE probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!probe)
        return -1;
    CloseHandle(probe);
    return static_cast<long>(reinterpret_cast<std::intptr_t>(probe) / 4);
}
