#include "terminal.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace {

HANDLE output = INVALID_HANDLE_VALUE;
DWORD saved_mode = 0;
std::atomic<bool> changed{false};

void GiveBackMode()
{
    if (changed.exchange(false))
        SetConsoleMode(output, saved_mode);
}

// Ctrl+C reaches the program's SIGINT handler, which ends the view in order.
// When the console window closes, the user logs off or the system shuts
// down, Windows ends the program once this handler returns; Ctrl+Break ends
// it too. Give the console its mode back first.
BOOL WINAPI OnConsoleEnd(DWORD event)
{
    if (event != CTRL_C_EVENT)
        GiveBackMode();
    return FALSE;
}

} // namespace

bool OpenTerminal(std::string& error)
{
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output == INVALID_HANDLE_VALUE || !GetConsoleMode(output, &mode)) {
        error = "standard output is not a console window";
        return false;
    }
    saved_mode = mode;
    if (!SetConsoleMode(output, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        error = "this console cannot show ANSI escape sequences (it needs Windows 10 or later)";
        return false;
    }
    changed = true;
    SetConsoleCtrlHandler(OnConsoleEnd, TRUE);
    return true;
}

void TerminalSize(int& columns, int& rows)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        columns = info.srWindow.Right - info.srWindow.Left + 1;
        rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    } else {
        columns = 80;
        rows = 24;
    }
}

void WriteTerminal(const std::string& text)
{
    std::fflush(stdout); // whatever the C runtime still holds goes first
    const char* next = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), next, static_cast<DWORD>(left), &written, nullptr) ||
            written == 0)
            return;
        next += written;
        left -= written;
    }
}

void CloseTerminal()
{
    GiveBackMode();
    SetConsoleCtrlHandler(OnConsoleEnd, FALSE);
}
