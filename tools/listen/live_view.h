#pragma once

#include "field_ranges.h"
#include "listen_stats.h"

#include <string>
#include <vector>

// The full-screen live view of kinemora-listen --live, as text: pure
// functions, so the view can be checked without a terminal.

// Switches to the terminal's alternate screen and hides the cursor; the
// leaving sequence shows the cursor and returns to the screen as it was,
// then to column 1 (Wine's console, which lays out no ANSI sequences and
// counts their bytes as columns, would otherwise break the next line).
extern const char kEnterLiveScreen[];
extern const char kLeaveLiveScreen[];

// At most this many frames a second.
constexpr double kLiveRedrawInterval = 0.1; // seconds

struct LiveViewTime {
    unsigned long port = 0;
    double now = 0.0; // seconds on the clock of the arrival times
};

// The view's lines, none wider than columns - 1: a header with the counts,
// the rate, jitter, stalls and gaps so far, then per kind seen each field's
// latest value and a bar that fills from its smallest to its largest value.
// A note's lines (split at '\n') stand under the header.
std::vector<std::string> LiveViewLines(const ListenStats& stats, const FieldRanges& fields, const LiveViewTime& time,
                                       int columns, const std::string& note = "");

// One frame for a terminal of columns x rows: every line at its own row,
// cut to columns - 1 (so that no line wraps), the rest of each row and
// of the screen cleared. Lines beyond the screen give way to a note.
std::string ScreenFrame(const std::vector<std::string>& lines, int columns, int rows);

// A bar of width cells that fills from smallest to largest as value does.
std::string FieldBar(float value, float smallest, float largest, int width);
