#pragma once

// Where a deliverable's datagrams go: its destinations, each datagram to each
// of them on a fresh socket, in their order, a failure at one never keeping
// the others from theirs; and what its log (or another report) learns of the
// sending: the first datagram, the first failure of each kind with what it
// means, the first datagram that every destination took again after such a
// failure, and counts. Without destinations given it sends to
// 255.255.255.255:50010: exactly the broadcast sender's calls.
//
// Destinations found through "adapters" are looked for again while none was
// found (255.255.255.255 on the port asked for stands in meanwhile) and after
// a send to one of them failed, at most once every 5 seconds. A look can take
// milliseconds, so it runs on a thread of its own; a later Send takes up what
// it found.

#include "adapters.h"
#include "background.h"
#include "broadcast_sender.h"
#include "destination.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Milliseconds of the system's steady clock, for WatchAdapters.
std::int64_t SteadyMilliseconds();

class Outbox {
public:
    Outbox() : destinations_(1) {}

    // Empty: the default, 255.255.255.255:50010. Destinations marked as found
    // through "adapters" are replaced by a new look at the adapters when one
    // is due (WatchAdapters).
    void SetDestinations(const std::vector<Destination>& destinations);
    const std::vector<Destination>& Destinations() const { return destinations_; }

    // How to list the adapters, read a clock in milliseconds and start a
    // look without waiting for it, for the new looks. Without it, the
    // destinations stay as set.
    using ListAdaptersFunction = std::function<std::vector<Adapter>()>;
    using MillisecondClock = std::function<std::int64_t()>;
    using Runner = std::function<bool(std::function<void()>)>;
    void WatchAdapters(ListAdaptersFunction list_adapters, MillisecondClock now_ms, Runner run = RunDetached);

    // Where the lines for a log go (the deliverables' logs, a tool's console),
    // or nothing. The counts start again.
    using Report = std::function<void(const std::string& line)>;
    void SetReport(Report report);

    // One datagram to every destination. True when at least one took it.
    bool Send(const void* data, std::int32_t length);

    // "frames 120, datagrams 240, failures 0", with the failures by step; to the report.
    void LogCounts(const std::string& when);

    // The leads of the lines that tell a user about sending, as opposed to
    // the log's bookkeeping: a first failure, and sending working again.
    static constexpr const char* kFailureLead = "send failed: ";
    static constexpr const char* kRecoveryLead = "sending works again: ";

private:
    static constexpr int kSteps = static_cast<int>(SendStep::Count);
    static constexpr std::int64_t kAdapterLookEveryMs = 5000;

    void LookAtAdaptersIfDue();
    void TakeUp(const std::vector<Adapter>& adapters);

    // One look at the adapters, shared with the thread that makes it.
    struct AdapterLook {
        std::mutex mutex;
        bool done = false;
        std::vector<Adapter> adapters;
    };
    void Tell(const std::string& line);

    std::vector<Destination> destinations_;
    Report report_;
    std::uint64_t frames_ = 0;
    std::uint64_t datagrams_ = 0;
    std::uint64_t failures_[kSteps] = {};
    bool failure_told_ = false; // a failure line went out, and no recovery line since

    // The new looks at the adapters.
    std::vector<Destination> layout_; // as set: each "adapters" as it was found then
    ListAdaptersFunction list_adapters_;
    MillisecondClock now_ms_;
    Runner run_;
    std::shared_ptr<AdapterLook> look_; // under way, or null
    bool adapters_found_ = true;
    bool adapter_send_failed_ = false;
    std::int64_t last_look_ms_ = 0;
};
