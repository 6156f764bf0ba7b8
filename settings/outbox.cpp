#include "outbox.h"

#include "destinations.h"

#include <utility>

namespace {

const char* StepName(SendStep step)
{
    switch (step) {
    case SendStep::Socket: return "socket";
    case SendStep::Option: return "setsockopt (broadcast)";
    case SendStep::Bind: return "bind";
    case SendStep::Resolve: return "getaddrinfo";
    case SendStep::Send: return "sendto";
    default: return "none";
    }
}

} // namespace

void Outbox::SetDestinations(const std::vector<Destination>& destinations)
{
    destinations_ = destinations.empty() ? std::vector<Destination>(1) : destinations;
}

void Outbox::SetLog(LogFile* log)
{
    SetReport(log != nullptr && log->IsOpen() ? Report([log](const std::string& line) { log->Write(line); })
                                              : Report());
}

void Outbox::SetReport(Report report)
{
    report_ = std::move(report);
    frames_ = 0;
    datagrams_ = 0;
    for (std::uint64_t& count : failures_)
        count = 0;
}

void Outbox::Send(const void* data, std::int32_t length)
{
    if (!report_) {
        for (const Destination& destination : destinations_)
            SendDatagramTo(destination, data, length);
        return;
    }
    if (frames_++ == 0)
        report_("first datagram: " + std::to_string(length) + " bytes to " + DescribeDestinations(destinations_));
    for (const Destination& destination : destinations_) {
        SendOutcome outcome;
        SendDatagramTo(destination, data, length, &outcome);
        ++datagrams_;
        if (outcome.failed == SendStep::None)
            continue;
        if (failures_[static_cast<int>(outcome.failed)]++ == 0) {
            char where[22];
            FormatDestination(destination, where);
            report_(std::string("send failed: ") + StepName(outcome.failed) + " for " + where + ", error " +
                        std::to_string(outcome.error) + " (later failures of this kind are only counted)");
        }
    }
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
            by_step += std::string(by_step.empty() ? " (" : ", ") + StepName(static_cast<SendStep>(step)) + " " +
                       std::to_string(failures_[step]);
    }
    report_(when + ": frames " + std::to_string(frames_) + ", datagrams " + std::to_string(datagrams_) +
                ", failures " + std::to_string(failures) + (by_step.empty() ? "" : by_step + ")"));
}
