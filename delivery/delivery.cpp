#include "delivery.h"

#include "adapters.h"
#include "destination_list.h"

void Delivery::SendTo(const std::vector<Destination>& destinations)
{
    outbox_.SetDestinations(destinations);
    outbox_.WatchAdapters(ListAdapters, SteadyMilliseconds);
}

bool Delivery::OpenLog(const std::string& path)
{
    return log_.IsOpen() || log_.Open(path);
}

void Delivery::Report(Tell user)
{
    user_ = std::move(user);
    if (!user_ && !log_.IsOpen()) {
        outbox_.SetReport(nullptr); // nothing is counted that nobody reads
        return;
    }
    outbox_.SetReport([this](const std::string& line) {
        if (user_ && (line.rfind(Outbox::kFailureLead, 0) == 0 || line.rfind(Outbox::kRecoveryLead, 0) == 0))
            user_(line);
        log_.Write(line);
    });
}

void Delivery::WriteOpening(const Opening& opening, const Settings& settings, const Tell& tell)
{
    auto told = [&](const std::string& line) {
        if (tell)
            tell(line);
        log_.Write(line);
    };
    log_.Write(opening.first_line);
    log_.Write("settings: " + DescribeSettingsRead(opening.read, opening.path));
    for (const std::string& line : opening.after_read)
        log_.Write(line);
    for (const IgnoredLine& ignored : settings.ignored)
        told(ignored.line == 0 ? opening.file_lead + ignored.why
                               : opening.line_lead + std::to_string(ignored.line) + " ignored: " + ignored.why);
    for (const std::string& note : settings.notes)
        told(opening.note_lead + note);
    const std::string destinations = opening.destinations_lead + DescribeDestinations(outbox_.Destinations());
    if (opening.tell_destinations)
        told(destinations);
    else
        log_.Write(destinations);
}

std::string Delivery::DescribedDestinations() const
{
    return DescribeDestinations(outbox_.Destinations());
}

void Delivery::LogCounts(const std::string& when)
{
    outbox_.LogCounts(when);
    Report(user_);
}
