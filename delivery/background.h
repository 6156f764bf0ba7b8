#pragma once

// Work that must not hold up the thread that asks for it (a look at the
// network adapters, which can take milliseconds on Windows): it runs on a
// thread of its own, which nobody waits for. One file per platform.

#include <functional>

// Starts work on a new thread and returns at once; false when no thread
// could be had. On Windows the thread keeps the module that holds this code
// loaded until the work is done, so that a plug-in unloaded meanwhile does
// not take the code from under it.
bool RunDetached(std::function<void()> work);
