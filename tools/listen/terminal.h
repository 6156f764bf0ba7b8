#pragma once

#include <string>

// The live view's platform seam: standard output as a terminal that
// understands ANSI escape sequences. The sequences themselves are portable
// and live in live_view.h.

// Checks that standard output is a terminal (POSIX) or a console (Windows)
// and readies it for ANSI sequences: on Windows it turns on virtual-terminal
// processing and keeps the console's mode, to give it back on every way out,
// the console window's closing included. Returns false with a reason when
// standard output cannot show the view.
bool OpenTerminal(std::string& error);

// The visible size in character cells; 80 x 24 when it cannot be read.
void TerminalSize(int& columns, int& rows);

// Writes text to standard output at once, escape sequences intact. On
// Windows it goes to the console handle itself: Wine's console shows
// sequences written through the C runtime's stdout as plain text.
void WriteTerminal(const std::string& text);

// Gives back what OpenTerminal changed (the console's mode on Windows).
// Safe to call more than once, and without OpenTerminal.
void CloseTerminal();
