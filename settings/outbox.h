#pragma once

// Where a deliverable's datagrams go: its destinations, each datagram to each
// of them on a fresh socket, in their order, a failure at one never keeping
// the others from theirs; and what its log (or another report) learns of the
// sending: the first datagram, the first failure of each kind with its error
// code, and counts. Without destinations given it sends to
// 255.255.255.255:50010, and without a report it examines no result: exactly
// the broadcast sender's calls.

#include "broadcast_sender.h"
#include "destination.h"
#include "log_file.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Outbox {
public:
    Outbox() : destinations_(1) {}

    // Empty: the default, 255.255.255.255:50010.
    void SetDestinations(const std::vector<Destination>& destinations);
    const std::vector<Destination>& Destinations() const { return destinations_; }

    // The log to tell, or null. The counts start again.
    void SetLog(LogFile* log);

    // Where the lines a log would get go instead, or nothing. The counts start again.
    using Report = std::function<void(const std::string& line)>;
    void SetReport(Report report);

    // One datagram to every destination.
    void Send(const void* data, std::int32_t length);

    // "frames 120, datagrams 240, failures 0", with the failures by step; to the report.
    void LogCounts(const std::string& when);

private:
    static constexpr int kSteps = static_cast<int>(SendStep::Count);

    std::vector<Destination> destinations_;
    Report report_;
    std::uint64_t frames_ = 0;
    std::uint64_t datagrams_ = 0;
    std::uint64_t failures_[kSteps] = {};
};
