#pragma once

// What the demo needs of the monitor window beyond the monitor itself:
// finding it in this process and saving a picture of it.

#include <string>

// Waits up to timeout_ms for this process's monitor window to show.
bool WaitForMonitorWindow(int timeout_ms);

// True while this process's monitor window exists.
bool MonitorWindowOpen();

// Saves the window's client area, as the monitor drew it, as a PNG file.
// Returns false with a message in error when it cannot.
bool SaveMonitorScreenshot(const std::string& path, std::string& error);
