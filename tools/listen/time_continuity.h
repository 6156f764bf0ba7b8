#pragma once

#include <kinemora/motion_datagram.h>

#include <cstdint>

// Judges the time field of one sender's stream of one kind, step by step,
// against the arrival gaps, in whole microseconds. A step is a jump when it
// differs from the arrival gap by more than kJumpLimitUs.
//
// K01 carries simulation microseconds kept to 25 bits: the field wraps every
// 33.554432 s, so a step is read modulo 2^25, as the whole number of wraps
// that brings it closest to the arrival gap. A field of 0 is the plug-in's
// first datagram or a frame without a simulation time: a restart, and the
// step after it is not judged (it may land on any simulation time).
//
// K2 carries the bridge's running clock, which starts again at 0 with the
// first datagram more than 10 s after its last start. A step back is a
// restart when the clock would have passed 10 s by the time it started
// again (within kJumpLimitUs); this holds for the 0 itself and for a later
// datagram when the 0 was lost on the way. Any other step back is a
// backward step.
class TimeContinuity {
public:
    static constexpr std::int64_t kJumpLimitUs = 100000;
    static constexpr std::int64_t kK2ClockLimitUs = 10000000;
    static constexpr std::uint32_t kK01Wrap = 1u << 25; // microseconds

    explicit TimeContinuity(kinemora_kind kind) : kind_(kind) {}

    // arrival_seconds: on a steady clock, non-decreasing.
    void Add(std::uint32_t time_us, double arrival_seconds);

    kinemora_kind Kind() const { return kind_; }
    std::uint64_t Datagrams() const { return datagrams_; }
    std::uint64_t Steps() const { return datagrams_ > 0 ? datagrams_ - 1 : 0; }
    std::uint64_t Wraps() const { return wraps_; }
    std::uint64_t Restarts() const { return restarts_; }
    std::uint64_t BackwardSteps() const { return backward_; }
    std::uint64_t Jumps() const { return jumps_; }

private:
    void JudgeK01(std::uint32_t time_us, std::int64_t arrival_gap_us);
    void JudgeK2(std::uint32_t time_us, std::int64_t arrival_gap_us);
    void JudgeForward(std::int64_t step_us, std::int64_t arrival_gap_us);

    kinemora_kind kind_;
    std::uint64_t datagrams_ = 0;
    std::uint32_t last_time_us_ = 0;
    double last_arrival_ = 0.0;
    std::uint64_t wraps_ = 0;
    std::uint64_t restarts_ = 0;
    std::uint64_t backward_ = 0;
    std::uint64_t jumps_ = 0;
};
