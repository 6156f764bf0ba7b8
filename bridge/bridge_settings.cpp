#include "bridge_settings.h"

#include "destinations.h"
#include "files.h"
#include "kinemora_version.h"
#include "log_file.h"
#include "settings_file.h"

#include <cstdio>

namespace {

constexpr const char* kSettingsName = "kinemora_mfs_2020.ini";
constexpr const char* kLogName = "kinemora_mfs_2020.log";

// The bridge's one thread alone touches these.
Outbox bridge_outbox;
LogFile bridge_log;

void Tell(const std::string& text, bool to_log = true)
{
    std::fprintf(stderr, "kinemora_mfs_2020: %s\n", text.c_str());
    std::fflush(stderr);
    if (to_log)
        bridge_log.Write(text);
}

// What the outbox learns goes to the log, and what a user must know goes to
// the console too, as a line of its own among the dots: a first failure of
// each kind, and sending working again.
void StartReport()
{
    bridge_outbox.SetReport([](const std::string& line) {
        if (line.rfind(Outbox::kFailureLead, 0) == 0 || line.rfind(Outbox::kRecoveryLead, 0) == 0) {
            std::printf("\n%s", line.c_str());
            std::fflush(stdout);
        }
        bridge_log.Write(line);
    });
}

} // namespace

Outbox& BridgeOutbox()
{
    return bridge_outbox;
}

int ApplyBridgeSettings(const BridgeOptions& options)
{
    const std::string folder = ProgramFolder();
    const std::string path = options.config.empty() ? folder + kSettingsName : options.config;
    std::string text;
    const FileRead read = ReadFileText(path, kLargestSettingsFile, text);
    if (!options.config.empty() && read == FileRead::TooLarge) {
        Tell("--config: " + path + " is larger than " + std::to_string(kLargestSettingsFile / 1024) +
             " KB and is not read: check that it is the settings file", false);
        return 2;
    }
    if (!options.config.empty() && read != FileRead::Read) {
        Tell("--config: cannot read " + path + ": check the name and the folder", false);
        return 2;
    }
    Settings settings = ParseSettings(text, SettingsFor::Bridge, ListAdapters);

    std::vector<Destination> destinations = settings.destinations;
    if (!options.destinations.empty()) {
        destinations.clear();
        for (const std::string& value : options.destinations) {
            std::vector<Destination> found;
            std::string error;
            if (!ParseDestination(value, ListAdapters, found, settings.notes, error)) {
                Tell("--destination: " + error, false);
                return 2;
            }
            AddDestinations(destinations, found, settings.notes);
        }
    }
    bridge_outbox.SetDestinations(destinations);
    bridge_outbox.WatchAdapters(ListAdapters, SteadyMilliseconds);

    if ((settings.log || options.log) && !bridge_log.Open(folder + kLogName))
        Tell("cannot write the log " + folder + kLogName + ": is the folder read-only?", false);
    StartReport();

    bridge_log.Write(std::string("kinemora_mfs_2020 ") + KINEMORA_VERSION + " started");
    bridge_log.Write("settings: " + DescribeSettingsRead(read, path));
    if (read == FileRead::TooLarge || read == FileRead::Failed)
        Tell(DescribeSettingsRead(read, path), false);
    for (const IgnoredLine& ignored : settings.ignored)
        Tell(ignored.line == 0 ? path + ": " + ignored.why
                               : path + " line " + std::to_string(ignored.line) + " ignored: " + ignored.why);
    for (const std::string& note : settings.notes)
        Tell(note);
    const std::string where = DescribeDestinations(bridge_outbox.Destinations());
    if (read == FileRead::Read || !options.destinations.empty() || !options.config.empty() || options.log)
        Tell("sending to " + where);
    else
        bridge_log.Write("sending to " + where);
    return 0;
}

void WriteBridgeLog(const std::string& line)
{
    bridge_log.Write(line);
}

void LogConnectionEnd()
{
    bridge_outbox.LogCounts("connection ended");
    StartReport();
}
