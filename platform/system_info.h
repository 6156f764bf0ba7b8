#pragma once

// What a report says of the machine and of a loaded library. One file per
// platform.

#include <string>

// "Windows 10.0 (build 19045)"; elsewhere the system's name and release.
std::string SystemVersion();

// The file of the loaded module that holds address, and its file version
// ("11.0.62651.3"), or "" for what cannot be had.
struct ModuleFile {
    std::string path;
    std::string version;
};
ModuleFile ModuleFileOf(const void* address);

// The timer resolution the system grants this process now: "1.0 ms (from 0.5
// to 15.6 ms)" on Windows, the monotonic clock's resolution elsewhere.
std::string TimerResolution();
