#pragma once

// Tells a broken connection from a quiet one. A failing dispatch alone does
// not prove the simulator gone: only when dispatch has failed on every pass
// for two seconds, with no record arriving in between, does the connection
// count as broken. A pass that succeeds, or that hands out a record, starts
// the count again. Pure code over counter ticks.

#include <cstdint>

class DispatchWatch {
public:
    static constexpr std::int64_t kBrokenAfterSeconds = 2;

    explicit DispatchWatch(std::int64_t ticks_per_second) : limit_(kBrokenAfterSeconds * ticks_per_second) {}

    // Called after each pass of the pump with what the pass saw and the
    // counter's reading; true once the connection counts as broken.
    bool PassEnded(bool dispatch_failed, bool record_arrived, std::int64_t now);

private:
    std::int64_t limit_;
    bool failing_ = false;
    std::int64_t failing_since_ = 0;
};
