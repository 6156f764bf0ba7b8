#include "bridge_settings.h"

#include "destinations.h"
#include "files.h"
#include "kinemora_version.h"
#include "settings_file.h"

#include <cstdio>

namespace {

constexpr const char* kSettingsName = "kinemora_mfs_2020.ini";
constexpr const char* kLogName = "kinemora_mfs_2020.log";

void Say(const std::string& text)
{
    std::fprintf(stderr, "kinemora_mfs_2020: %s\n", text.c_str());
    std::fflush(stderr);
}

// A failure and sending working again, as a line of its own among the dots.
void ShowAmongDots(const std::string& line)
{
    std::printf("\n%s", line.c_str());
    std::fflush(stdout);
}

} // namespace

int ApplyBridgeSettings(const BridgeOptions& options, Delivery& delivery, std::string& report)
{
    const std::string folder = ProgramFolder();
    const std::string path = options.config.empty() ? folder + kSettingsName : options.config;
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
    Settings settings = ParseSettings(text, SettingsFor::Bridge, ListAdapters);

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
    delivery.SendTo(destinations);
    if ((settings.log || options.log) && !delivery.OpenLog(folder + kLogName))
        Say("cannot write the log " + folder + kLogName + ": is the folder read-only?");
    delivery.Report(ShowAmongDots);
    if (read == FileRead::TooLarge || read == FileRead::Failed)
        Say(DescribeSettingsRead(read, path));

    Opening opening;
    opening.first_line = std::string("kinemora_mfs_2020 ") + KINEMORA_VERSION + " started";
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
