#pragma once

// A PerformanceCounter that a test scripts, for the K2 clock: each read of the
// count takes the next scripted value (the last one repeats), and the reads of
// both functions are counted. frequency and counts are defined once in each
// test program that uses it.

#include "microsecond_clock.h"

#include <cstdint>
#include <deque>
#include <utility>

struct ScriptedCounter {
    static std::int64_t frequency;
    static std::deque<std::int64_t> counts;
    inline static int frequency_reads = 0;
    inline static int count_reads = 0;

    static std::int64_t Frequency()
    {
        ++frequency_reads;
        return frequency;
    }
    static std::int64_t Count()
    {
        ++count_reads;
        const std::int64_t value = counts.front();
        if (counts.size() > 1)
            counts.pop_front();
        return value;
    }
    // Starts a script at ticks_per_second, with no reads counted yet.
    static PerformanceCounter Script(std::int64_t ticks_per_second, std::deque<std::int64_t> script)
    {
        frequency = ticks_per_second;
        counts = std::move(script);
        frequency_reads = 0;
        count_reads = 0;
        return PerformanceCounter{&Frequency, &Count};
    }
};
