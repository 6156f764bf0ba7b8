#include "bridge_platform.h"

#include <windows.h>

#include <cstdio>


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

// A mutex of this session, held until the process ends.
bool ClaimOnlyBridge()
{
    // A new mutex need not clear the last error: clear it first.
    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Local\\Kinemora.kinemora_mfs_2020");
    // Access denied: a bridge of another elevation (started by a simulator
    // run as administrator, say) made the mutex, and this one may not open it.
    if (mutex == nullptr)
        return GetLastError() != ERROR_ACCESS_DENIED;
    return GetLastError() != ERROR_ALREADY_EXISTS;
}

void HoldConsoleAfterError()
{
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) != 1)
        return;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode))
        return;
    std::fputs("\nPress Enter to close this window (it closes by itself in 15 s).\n", stderr);
    std::fflush(stderr);
    FlushConsoleInputBuffer(input);
    const ULONGLONG until = GetTickCount64() + 15000;
    for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
        if (WaitForSingleObject(input, static_cast<DWORD>(until - now)) != WAIT_OBJECT_0)
            return;
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read))
            return;
        if (read == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            record.Event.KeyEvent.wVirtualKeyCode == VK_RETURN)
            return;
    }
}
