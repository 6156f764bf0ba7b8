#pragma once

// The console of the bridge and of the tools that run beside a rig. One file
// per platform.

// Where standard output or standard error is a console, turns off its mouse selection
// (QuickEdit): while a selection is open, Windows holds every write to the
// console, and a program's one thread would stop inside a print, with the
// rig left where the last datagram put it. Keeps every other input mode bit.
// The console keeps the setting after the program ends. Changes nothing when
// neither is a console, and on POSIX.
void TurnOffQuickEdit();
