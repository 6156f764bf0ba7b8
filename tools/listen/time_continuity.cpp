#include "time_continuity.h"

#include <cmath>

void TimeContinuity::Add(std::uint32_t time_us, double arrival_seconds)
{
    if (datagrams_++ > 0) {
        const std::int64_t arrival_gap_us = std::llround((arrival_seconds - last_arrival_) * 1e6);
        if (kind_ == KINEMORA_K01)
            JudgeK01(time_us, arrival_gap_us);
        else
            JudgeK2(time_us, arrival_gap_us);
    }
    last_time_us_ = time_us;
    last_arrival_ = arrival_seconds;
}

void TimeContinuity::JudgeK01(std::uint32_t time_us, std::int64_t arrival_gap_us)
{
    if (time_us == 0) {
        ++restarts_;
        return;
    }
    if (last_time_us_ == 0)
        return;
    const std::int64_t forward_us = (time_us - last_time_us_) & (kK01Wrap - 1);
    // The step is forward plus a whole number of wraps (-1 for a step back):
    // the one closest to the arrival gap.
    const std::int64_t wraps = std::llround(static_cast<double>(arrival_gap_us - forward_us) / kK01Wrap);
    const std::int64_t step_us = forward_us + wraps * kK01Wrap;
    if (step_us < 0) {
        ++backward_;
        return;
    }
    wraps_ += static_cast<std::uint64_t>(wraps) + (time_us < last_time_us_ ? 1 : 0);
    JudgeForward(step_us, arrival_gap_us);
}

void TimeContinuity::JudgeK2(std::uint32_t time_us, std::int64_t arrival_gap_us)
{
    if (time_us < last_time_us_) {
        // When did the clock start again, counted on the clock it left?
        const std::int64_t restart_at_us = std::int64_t{last_time_us_} + arrival_gap_us - time_us;
        if (restart_at_us >= kK2ClockLimitUs - kJumpLimitUs)
            ++restarts_;
        else
            ++backward_;
        return;
    }
    JudgeForward(std::int64_t{time_us} - last_time_us_, arrival_gap_us);
}

void TimeContinuity::JudgeForward(std::int64_t step_us, std::int64_t arrival_gap_us)
{
    const std::int64_t off_us = step_us - arrival_gap_us;
    if (off_us > kJumpLimitUs || off_us < -kJumpLimitUs)
        ++jumps_;
}
