#include "bridge_platform.h"

#include <windows.h>
#include <mmsystem.h>


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

void TurnOffQuickEdit()
{
    DWORD output_mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &output_mode))
        return;
    // The input side of the console holds the setting; with standard input
    // redirected, the console's own input is reached through CONIN$.
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode)) {
        opened = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        input = opened;
        if (opened == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) {
            if (opened != INVALID_HANDLE_VALUE)
                CloseHandle(opened);
            return;
        }
    }
    // ENABLE_EXTENDED_FLAGS must be set for a change of ENABLE_QUICK_EDIT_MODE to count.
    SetConsoleMode(input, (mode & ~static_cast<DWORD>(ENABLE_QUICK_EDIT_MODE)) | ENABLE_EXTENDED_FLAGS);
    if (opened != INVALID_HANDLE_VALUE)
        CloseHandle(opened);
}

// A mutex of this session, held until the process ends.
bool OtherBridgeWithSimulator(bool claim)
{
    const wchar_t* name = L"Local\\Kinemora.kinemora_mfs_2020.exit-with-simulator";
    if (!claim) {
        HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, name);
        if (other != nullptr)
            CloseHandle(other);
        return other != nullptr;
    }
    // A new mutex need not clear the last error: clear it first.
    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, name);
    return mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}
