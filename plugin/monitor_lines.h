#pragma once

// The text of the monitor window: 32 lines drawn from one snapshot copy.
// Pure code, the same on every platform, so that native tests check exactly
// what the window draws on Windows.

#include "telemetry_snapshot.h"

#include <array>
#include <cstddef>
#include <string>
#include <type_traits>

constexpr std::size_t kMonitorLineCount = 32;    // counter, time, then trace[0] to trace[29]
constexpr std::size_t kLongestMonitorLine = 254; // characters; longer text is cut

static_assert(kMonitorLineCount == 2 + std::extent_v<decltype(TelemetrySnapshot::trace)>,
              "one line each for the counter and the time, then one per trace entry");

// One line of text and its terminating NUL.
using MonitorLineBuffer = std::array<wchar_t, 256>;

// "label: value", the value widened to a 64-bit float, six decimals.
void FormatValueLine(MonitorLineBuffer& buf, const wchar_t* label, float value);

// "label: x:X y:Y z:Z" from the 64-bit components, six decimals each.
void FormatVectorLine(MonitorLineBuffer& buf, const wchar_t* label, const Vector3d& value);

// Visits the lines of dd in drawing order: the counter and the time, each
// through a 32-bit float, then trace[0] (the newest velocity) to trace[29].
template <class ValueLine, class VectorLine>
void ForEachMonitorLine(const TelemetrySnapshot& dd, ValueLine value_line, VectorLine vector_line)
{
    value_line(L"counter", static_cast<float>(dd.counter));
    value_line(L"time", static_cast<float>(dd.time));
    for (const Vector3d& velocity : dd.trace)
        vector_line(L"trace", velocity);
}

// The 32 lines of one picture of dd, top to bottom.
std::array<std::wstring, kMonitorLineCount> MonitorLines(const TelemetrySnapshot& dd);
