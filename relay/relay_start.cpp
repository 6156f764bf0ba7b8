#include "relay_start.h"

#include "clock.h"
#include "console.h"
#include "destinations.h"
#include "files.h"
#include "instance_lock.h"
#include "kinemora_version.h"
#include "socket_startup.h"
#include "timers.h"

#include <cstdio>
#include <cstdlib>

namespace {

// A failure and sending working again, as a line of its own among the dots.
void ShowAmongDots(const std::string& line)
{
    std::printf("\n%s", line.c_str());
    std::fflush(stdout);
}

// The settings file and the command line applied to the delivery; report
// gets the report's file, or "". 0 to go on, or 2 after a one-line reason.
int ApplySettings(const RelayOptions& options, Relay& relay, std::string& report)
{
    auto Say = [&relay](const std::string& text) { ::Say(relay, text); };
    const std::string program = relay.program;
    const std::string folder = ProgramFolder();
    const std::string path = options.config.empty() ? folder + program + ".ini" : options.config;
    std::string text;
    const FileRead read = ReadFileText(path, kLargestSettingsFile, text);
    if (!options.config.empty() && read == FileRead::TooLarge) {
        Say("--config: " + path + " is larger than " + std::to_string(kLargestSettingsFile / 1024) +
            " KB and is not read: check that it is the settings file");
        return 2;
    }
    if (!options.config.empty() && read != FileRead::Read) {
        Say("--config: cannot read " + path + ": check the name and the folder");
        return 2;
    }
    Settings& settings = relay.settings;
    settings = ParseSettings(text, relay.kind, ListAdapters);

    std::vector<Destination> destinations = settings.destinations;
    if (!options.destinations.empty()) {
        destinations.clear();
        for (const std::string& value : options.destinations) {
            std::vector<Destination> found;
            std::string error;
            if (!ParseDestination(value, ListAdapters, found, settings.notes, error)) {
                Say("--destination: " + error);
                return 2;
            }
            AddDestinations(destinations, found, settings.notes);
        }
    }
    Delivery& delivery = relay.delivery;
    delivery.SendTo(destinations);
    const std::string log = folder + program + ".log";
    if ((settings.log || options.log) && !delivery.OpenLog(log))
        Say("cannot write the log " + log + ": is the folder read-only?");
    delivery.Report(ShowAmongDots);
    if (read == FileRead::TooLarge || read == FileRead::Failed)
        Say(DescribeSettingsRead(read, path));

    Opening opening;
    opening.first_line = program + " " + KINEMORA_VERSION + " started";
    opening.read = read;
    opening.path = path;
    opening.line_lead = path + " line ";
    opening.file_lead = path + ": ";
    opening.destinations_lead = "sending to ";
    opening.tell_destinations =
        read == FileRead::Read || !options.destinations.empty() || !options.config.empty() || options.log;
    delivery.WriteOpening(opening, settings, Say);

    // The file's report names a file beside the program unless it is a full path.
    const std::string& file = settings.report_file;
    const bool full = !file.empty() && (file[0] == '/' || file[0] == '\\' || file.find(':') != std::string::npos);
    report = !options.report.empty() ? options.report : file.empty() || full ? file : folder + file;
    if (!report.empty())
        Say("writing a report to " + report + " every 5 s and at the end");
    return 0;
}

} // namespace

void Say(const Relay& relay, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", relay.program, text.c_str());
    std::fflush(stderr);
}

int EndWithError(int status)
{
    std::fflush(stderr);
    HoldConsoleAfterError();
    return status;
}

std::string WithoutUserFolder(const std::string& path)
{
    for (const char* variable : {"USERPROFILE", "HOME"}) {
        const char* folder = std::getenv(variable);
        const std::string lead = folder != nullptr ? folder : "";
        if (!lead.empty() && path.compare(0, lead.size(), lead) == 0)
            return std::string("%") + variable + "%" + path.substr(lead.size());
    }
    return path;
}

std::optional<int> StartRelay(const RelayOptions& options, const std::string& usage,
                              const std::function<std::string(const std::string&)>& heading, Relay& relay)
{
    // Two relays would send every datagram twice, with two clocks.
    if (!ClaimOnlyInstance(relay.program)) {
        const std::string program = relay.program;
        Say(relay, "another " + program + " runs already and sends to the rig, so this one ends without sending; "
                   "to run this one instead, close the other one's window (or end " + program +
                   ".exe in Task Manager) and start this one again");
        return EndWithError(1);
    }
    StartSockets();
    UseMillisecondTimers();
    const ThrottlingResult throttling = OptOutOfPowerThrottling();
    TurnOffQuickEdit();
    std::string report;
    if (const int status = ApplySettings(options, relay, report)) {
        std::fprintf(stderr, "\n%s", usage.c_str());
        return EndWithError(status);
    }
    // A refused opt-out changes nothing; the log says what it did.
    const std::string throttling_line = DescribeThrottlingOptOut(throttling);
    if (!throttling_line.empty())
        relay.delivery.Log(throttling_line);
    if (!report.empty())
        relay.report = std::make_unique<RelayReport>(report, heading(throttling_line),
                                                     static_cast<double>(ReadCounterFrequency()));
    return std::nullopt;
}
