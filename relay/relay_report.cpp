#include "relay_report.h"

#include <utility>

RelayReport::RelayReport(std::string path, std::string heading, double ticks_per_second)
    : path_(std::move(path)), heading_(std::move(heading)), ticks_per_second_(ticks_per_second)
{
}

void RelayReport::ConnectionOpened()
{
    connections_.push_back({std::time(nullptr), 0, ""});
    requested_ = -1;
}

void RelayReport::ConnectionEnded(const std::string& why)
{
    if (!connections_.empty()) {
        connections_.back().ended = std::time(nullptr);
        connections_.back().why = why;
    }
}

void RelayReport::Requested(std::int64_t ticks)
{
    // The first request still unanswered is the one a delivery answers.
    if (requested_ < 0)
        requested_ = ticks;
}

void RelayReport::Delivered(std::int64_t ticks)
{
    deliveries_.Add(static_cast<double>(ticks) / ticks_per_second_);
    if (requested_ >= 0)
        delay_us_.Add(static_cast<std::uint64_t>(static_cast<double>(ticks - requested_) * 1e6 / ticks_per_second_));
    requested_ = -1;
}

void RelayReport::WriteIfDue(std::int64_t ticks, const Delivery& delivery)
{
    if (static_cast<double>(ticks - written_) < 5.0 * ticks_per_second_)
        return;
    written_ = ticks;
    Write(delivery);
}

void RelayReport::Write(const Delivery& delivery)
{
    WriteReportFile(path_, Text(delivery, std::time(nullptr)));
}

std::string RelayReport::Text(const Delivery& delivery, std::time_t now) const
{
    std::string text = heading_ + "Written: " + LocalTime(now) + "\n\nSimulator\n";
    for (const std::string& line : records_)
        text += "  " + line + "\n";
    if (records_.empty())
        text += "  nothing yet\n";
    text += "\nConnections\n";
    for (const Connection& c : connections_)
        text += "  opened " + LocalTime(c.opened) +
                (c.why.empty() ? ", still open\n" : ", ended " + LocalTime(c.ended) + ": " + c.why + "\n");
    if (connections_.empty())
        text += "  none yet\n";
    const Histogram& per_second = deliveries_.Counts();
    text += "\nDeliveries\n  per second: " + Spread(per_second) + "\n";
    if (delay_us_.Count() != 0)
        text += "  from request to delivery: median " + std::to_string(delay_us_.Percentile(50)) +
                " us, 99th percentile " + std::to_string(delay_us_.Percentile(99)) + " us\n";
    return text + "\n" + SendingSection(delivery.Tally(), delivery.DescribedDestinations());
}
