#pragma once

#include <thread>

// The monitor window's thread. It owns this object: it is empty from load
// until the monitor starts, and must be joined or empty again before unload.
extern std::thread monitor_thread;
