#include "console.h"

#include <windows.h>

#include <cstdio>

void TurnOffQuickEdit()
{
    DWORD output_mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &output_mode) &&
        !GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &output_mode))
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
