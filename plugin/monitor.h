#pragma once

// The diagnostic monitor window: a thread of its own that draws the telemetry
// snapshot twenty times a second. No export of the plug-in starts it.
//
// Both functions are called from one thread at a time, never from the monitor
// thread itself. A started monitor must be stopped before the library unloads.

// Starts the monitor thread with the recorded module handle and returns at
// once, without waiting for the window. A monitor that was started and not
// yet stopped stays as it is, also when its window was closed by hand.
void StartMonitor();

// Ends the monitor in every state, also before its window exists, and waits
// for its thread. Without a started monitor it does nothing.
void StopMonitor();
