#include "outbox.h"

#include "destination_list.h"
#include "send_errors.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

bool FromAdapters(const Destination& destination)
{
    return destination.origin != DestinationOrigin::Given;
}

} // namespace

std::int64_t SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Outbox::Outbox(SendFunction send) : send_(std::move(send)), destinations_(1), outages_(1) {}

void Outbox::SetDestinations(const std::vector<Destination>& destinations)
{
    layout_ = destinations.empty() ? std::vector<Destination>(1) : destinations;
    adapters_found_ = true;
    adapter_send_failed_ = false;
    for (const Destination& destination : layout_)
        adapters_found_ = adapters_found_ && destination.origin != DestinationOrigin::NoAdapter;
    SendTo(layout_);
}

// The destinations of a layout, each once; a destination that stays keeps its outage.
void Outbox::SendTo(const std::vector<Destination>& layout)
{
    std::vector<Destination> distinct = DistinctDestinations(layout);
    std::vector<Outage> outages(distinct.size());
    for (std::size_t i = 0; i < distinct.size(); ++i)
        for (std::size_t j = 0; j < destinations_.size(); ++j)
            if (destinations_[j] == distinct[i])
                outages[i] = outages_[j];
    destinations_.swap(distinct);
    outages_.swap(outages);
    ++destination_changes_;
}

void Outbox::WatchAdapters(ListAdaptersFunction list_adapters, MillisecondClock now_ms, Runner run)
{
    list_adapters_ = std::move(list_adapters);
    now_ms_ = std::move(now_ms);
    run_ = std::move(run);
    look_.reset();
    // The destinations were found just now.
    last_look_ms_ = now_ms_ ? now_ms_() : 0;
}

void Outbox::SetReport(Report report)
{
    report_ = std::move(report);
    frames_ = 0;
    datagrams_ = 0;
    for (std::uint64_t& count : failures_)
        count = 0;
    for (Outage& outage : outages_)
        outage = Outage();
}

void Outbox::Tell(const std::string& line)
{
    if (report_)
        report_(line);
}

void Outbox::LookAtAdaptersIfDue()
{
    if (look_) {
        std::vector<Adapter> adapters;
        {
            std::lock_guard<std::mutex> lock(look_->mutex);
            if (!look_->done)
                return;
            adapters.swap(look_->adapters);
        }
        look_.reset();
        TakeUp(adapters);
        return;
    }
    if (!list_adapters_ || !now_ms_ || !run_ || (adapters_found_ && !adapter_send_failed_))
        return;
    const std::int64_t now = now_ms_();
    if (now - last_look_ms_ < kAdapterLookEveryMs)
        return;
    last_look_ms_ = now;
    adapter_send_failed_ = false;

    // The thread shares the look, not the outbox: an outbox that is gone
    // before the look ends leaves the look to the thread alone.
    look_ = std::make_shared<AdapterLook>();
    std::shared_ptr<AdapterLook> look = look_;
    ListAdaptersFunction list = list_adapters_;
    if (!run_([look, list]() {
            std::vector<Adapter> adapters;
            try {
                adapters = list();
            } catch (...) {
                // Out of memory, say: a look that found nothing, so the next is due in 5 s.
                adapters.clear();
            }
            std::lock_guard<std::mutex> lock(look->mutex);
            look->adapters.swap(adapters);
            look->done = true;
        }))
        look_.reset(); // no thread to be had: the next look is due in 5 s
}

// The destinations in the order they were given, each "adapters" as what
// the adapters give now.
void Outbox::TakeUp(const std::vector<Adapter>& adapters)
{
    std::vector<Destination> found_now;
    std::vector<std::string> notes;
    adapters_found_ = true;
    for (std::size_t i = 0; i < layout_.size(); ++i) {
        if (!FromAdapters(layout_[i])) {
            AddDestinations(found_now, {layout_[i]}, notes);
            continue;
        }
        bool port_seen = false;
        for (std::size_t j = 0; j < i; ++j)
            port_seen = port_seen || (FromAdapters(layout_[j]) && layout_[j].port == layout_[i].port);
        if (port_seen)
            continue;
        const std::vector<Destination> expanded = AdapterDestinations(adapters, layout_[i].port, notes);
        for (const Destination& d : expanded)
            adapters_found_ = adapters_found_ && d.origin != DestinationOrigin::NoAdapter;
        AddDestinations(found_now, expanded, notes);
    }
    const std::string before = DescribeDestinations(destinations_);
    SendTo(found_now);
    if (DescribeDestinations(destinations_) != before)
        Tell("adapters looked at again: sending to " + DescribeDestinations(destinations_));
}

bool Outbox::Send(const void* data, std::int32_t length)
{
    LookAtAdaptersIfDue();
    if (report_ && frames_++ == 0)
        Tell("first datagram: " + std::to_string(length) + " bytes to " + DescribeDestinations(destinations_));
    bool taken = false;
    std::vector<std::size_t> back; // destinations that took this datagram after an outage
    for (std::size_t i = 0; i < destinations_.size(); ++i) {
        // WSAGetLastError or errno is read only for a step that failed, so a
        // healthy send makes exactly the calls of the plain sender.
        SendOutcome outcome;
        send_(destinations_[i], data, length, &outcome);
        ++datagrams_;
        ++tally_.datagrams;
        if (outcome.failed != SendStep::None) {
            Failed(i, outcome);
            continue;
        }
        taken = true;
        if (outages_[i].on) {
            outages_[i] = Outage();
            back.push_back(i);
        }
    }
    if (back.empty())
        return taken;
    bool failing = false;
    for (const Outage& outage : outages_)
        failing = failing || outage.on;
    if (!failing) {
        Tell(std::string(kRecoveryLead) + "every destination took the datagram");
        return taken;
    }
    for (std::size_t i : back) {
        char where[22];
        FormatDestination(destinations_[i], where);
        Tell(std::string(kRecoveryLead) + where + " takes the datagrams again");
    }
    return taken;
}

// Each kind of failure, its step and its error code, is told once in an outage.
void Outbox::Failed(std::size_t index, const SendOutcome& outcome)
{
    ++failures_[static_cast<int>(outcome.failed)];
    auto same = [&](const FailureCount& kind) { return kind.step == outcome.failed && kind.error == outcome.error; };
    const auto kind = std::find_if(tally_.failures.begin(), tally_.failures.end(), same);
    if (kind != tally_.failures.end())
        ++kind->count;
    else
        tally_.failures.push_back({outcome.failed, outcome.error, 1});
    const Destination& destination = destinations_[index];
    adapter_send_failed_ = adapter_send_failed_ || FromAdapters(destination);
    Outage& outage = outages_[index];
    outage.on = true;
    const std::pair<SendStep, int> told(outcome.failed, outcome.error);
    if (!report_ || std::find(outage.told.begin(), outage.told.end(), told) != outage.told.end())
        return;
    outage.told.push_back(told);
    char where[22];
    FormatDestination(destination, where);
    Tell(std::string(kFailureLead) + SendStepName(outcome.failed) + " for " + where + ", error " +
         std::to_string(outcome.error) + ": " + ExplainSendFailure(outcome.failed, outcome.error) +
         " (later failures of this kind are only counted)");
}

void Outbox::LogCounts(const std::string& when)
{
    if (!report_)
        return;
    std::uint64_t failures = 0;
    std::string by_step;
    for (int step = 1; step < kSteps; ++step) {
        failures += failures_[step];
        if (failures_[step] != 0)
            by_step += std::string(by_step.empty() ? " (" : ", ") + SendStepName(static_cast<SendStep>(step)) + " " +
                       std::to_string(failures_[step]);
    }
    Tell(when + ": frames " + std::to_string(frames_) + ", datagrams " + std::to_string(datagrams_) +
         ", failures " + std::to_string(failures) + (by_step.empty() ? "" : by_step + ")"));
}
