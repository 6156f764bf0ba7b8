#pragma once

// The console of the bridge and of the tools that run beside a rig. One file
// per platform.

// Where standard output or standard error is a console, turns off its mouse
// selection (QuickEdit): while a selection is open, Windows holds every write
// to the console, and a program's one thread would stop inside a print, with
// the rig left where the last datagram put it. Keeps every other input mode
// bit; the console keeps the setting after the program ends. Nothing on POSIX.
void TurnOffQuickEdit();

// For a program whose console window was opened for it alone (it was
// double-clicked): keeps an error it has just printed readable, waiting for
// Enter or for 15 s before the window closes. Returns at once otherwise, and
// on POSIX.
void HoldConsoleAfterError();
