#pragma once

// Each datagram to each destination once, in their order; a failure at one
// keeps no other from its datagram. "adapters" are looked at again, on a
// thread of their own, at most every 5 s while none is found or after a send
// to one failed.

#include "adapters.h"
#include "background.h"
#include "broadcast_sender.h"
#include "destination.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// A kind of failure, its step and its error code, and how often it came.
struct FailureCount {
    SendStep step;
    int error;
    std::uint64_t count;
};

// What was sent since the outbox was made: for the reports, which the log's
// counts, started again per connection, do not serve.
struct SendTally {
    std::uint64_t datagrams = 0;
    std::vector<FailureCount> failures; // in the order they first came
};

// Milliseconds of the system's steady clock, for WatchAdapters.
std::int64_t SteadyMilliseconds();

class Outbox {
public:
    // How one datagram goes to one destination: SendDatagramTo, or a test's script.
    using SendFunction = std::function<void(const Destination&, const void*, std::int32_t, SendOutcome*)>;

    explicit Outbox(SendFunction send = SendDatagramTo);

    // Empty: the default, 255.255.255.255:50010.
    void SetDestinations(const std::vector<Destination>& destinations);
    const std::vector<Destination>& Destinations() const { return destinations_; }

    // How to list the adapters, read a clock in milliseconds and start a look
    // without waiting for it. Without it, the destinations stay as set.
    using ListAdaptersFunction = std::function<std::vector<Adapter>()>;
    using MillisecondClock = std::function<std::int64_t()>;
    using Runner = std::function<bool(std::function<void()>)>;
    void WatchAdapters(ListAdaptersFunction list_adapters, MillisecondClock now_ms, Runner run = RunDetached);

    // Where the report's lines go, or nowhere. The counts and outages start again.
    using Report = std::function<void(const std::string& line)>;
    void SetReport(Report report);

    // One datagram to every destination. True when at least one took it.
    bool Send(const void* data, std::int32_t length);

    // "WHEN: frames 120, datagrams 240, failures 0", with the failures by step; to the report.
    void LogCounts(const std::string& when);

    const SendTally& Tally() const { return tally_; }
    // Counts every change of the destinations, so that a reader knows when to read them again.
    std::uint64_t DestinationChanges() const { return destination_changes_; }

    // The leads of the lines meant for a user rather than the log alone.
    static constexpr const char* kFailureLead = "send failed: ";
    static constexpr const char* kRecoveryLead = "sending works again: ";

private:
    static constexpr int kSteps = static_cast<int>(SendStep::Count);
    static constexpr std::int64_t kAdapterLookEveryMs = 5000;

    // A destination's outage: the kinds of failure (step and error) told in it.
    struct Outage {
        bool on = false;
        std::vector<std::pair<SendStep, int>> told;
    };

    // One look at the adapters, shared with the thread that makes it.
    struct AdapterLook {
        std::mutex mutex;
        bool done = false;
        std::vector<Adapter> adapters;
    };

    void LookAtAdaptersIfDue();
    void TakeUp(const std::vector<Adapter>& adapters);
    void SendTo(const std::vector<Destination>& layout);
    void Failed(std::size_t index, const SendOutcome& outcome);
    void Tell(const std::string& line);

    SendFunction send_;
    std::vector<Destination> destinations_; // each address and port once
    std::vector<Outage> outages_;           // one per destination
    Report report_;
    std::uint64_t frames_ = 0;
    std::uint64_t datagrams_ = 0;
    std::uint64_t failures_[kSteps] = {};
    SendTally tally_;
    std::uint64_t destination_changes_ = 0;

    std::vector<Destination> layout_; // as set: each "adapters" as it was found then
    ListAdaptersFunction list_adapters_;
    MillisecondClock now_ms_;
    Runner run_;
    std::shared_ptr<AdapterLook> look_; // under way, or null
    bool adapters_found_ = true;
    bool adapter_send_failed_ = false;
    std::int64_t last_look_ms_ = 0;
};
