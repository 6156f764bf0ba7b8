#include "terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

bool OpenTerminal(std::string& error)
{
    if (!isatty(STDOUT_FILENO)) {
        error = "standard output is not a terminal";
        return false;
    }
    return true;
}

void TerminalSize(int& columns, int& rows)
{
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        columns = size.ws_col;
        rows = size.ws_row;
    } else {
        columns = 80;
        rows = 24;
    }
}

void WriteTerminal(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// A terminal needs no mode for ANSI sequences: nothing to give back.
void CloseTerminal() {}
