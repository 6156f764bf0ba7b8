#pragma once

// The diagnostic monitor window: a thread of its own that draws the telemetry
// snapshot twenty times a second. The settings file starts it (monitor = on):
// Init starts it, Shutdown stops it.
//
// These are called from one thread at a time, never from the monitor thread
// itself. The monitor thread keeps the plug-in's module loaded while it runs,
// so the host may unload the plug-in with the window still showing.

// The plug-in's own module handle, recorded by the library entry on process
// attach; null until then and on platforms without one. The monitor window
// uses it as the instance of its window class; the settings find their
// folder from it.
extern void* module_handle;

// Starts the monitor thread with the recorded module handle and returns at
// once, without waiting for the window. A monitor that was started and not
// yet stopped stays as it is, also when its window was closed by hand.
void StartMonitor();

// Ends the monitor in every state, also before its window exists, and waits
// for its thread. Without a started monitor it does nothing.
void StopMonitor();

// True while a started monitor's thread runs (its window was not closed).
bool MonitorRunning();

// For the library entry at unload, which must not wait for a thread: lets go
// of a monitor thread that was never stopped (by then it has ended, or the
// process is ending).
void ReleaseMonitorAtUnload();
