#pragma once

// Timer resolution and power throttling, for the bridge and the tools. One
// file per platform.

#include <cstdint>
#include <string>

// Asks for 1 ms timer resolution for the life of the process, so that sleeps
// and waits last about what they ask for on Windows (15.6 ms steps
// otherwise); Windows restores it when the process ends. Nothing on POSIX,
// whose sleeps already have a fine resolution.
void UseMillisecondTimers();

enum class ThrottlingOptOut {
    NotNeeded,    // POSIX: there is no such throttling
    Done,         // both opt-outs: execution speed and timer resolution
    SpeedOnly,    // this Windows refused the pair and took execution speed alone
    Refused,      // Windows refused the call; error says why
    NotAvailable, // no SetProcessInformation, or it is not implemented (error then says so)
};

struct ThrottlingResult {
    ThrottlingOptOut outcome = ThrottlingOptOut::NotNeeded;
    std::uint32_t error = 0; // the system's error code, for Refused and a NotAvailable call
};

// Asks Windows not to throttle this process while its window is minimised,
// hidden or in the background: neither to slow it down nor to ignore its
// timer resolution (Windows 11 does both to such processes otherwise). The
// call is looked up at run time, so Windows 10 and Wine still start; a
// failure changes nothing. Nothing on POSIX.
ThrottlingResult OptOutOfPowerThrottling();

// One line saying what the opt-out did and what that means for the user;
// empty for NotNeeded.
std::string DescribeThrottlingOptOut(const ThrottlingResult& result);
