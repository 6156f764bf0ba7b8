#include "plugin_settings.h"

#include "aerofly_edition.h"
#include "destinations.h"
#include "files.h"
#include "kinemora_version.h"
#include "monitor.h"
#include "plugin_state.h"
#include "settings_file.h"
#include "socket_startup.h"
#include "system_info.h"

#include <string>

namespace {

constexpr const char* kSettingsName = KINEMORA_PLUGIN_NAME ".ini";
constexpr const char* kLogName = KINEMORA_PLUGIN_NAME ".log";
constexpr const char* kReportName = KINEMORA_PLUGIN_NAME ".report.txt";

// The host's thread alone touches this: Init and Shutdown.
bool monitor_from_settings = false;

std::string ReportHeading()
{
    return std::string("Kinemora report: " KINEMORA_PLUGIN_NAME " ") + KINEMORA_VERSION +
           ", the plug-in for Aerofly FS " KINEMORA_AEROFLY_TEXT(KINEMORA_AEROFLY_EDITION) "\nSystem: " +
           SystemVersion() + "\n";
}

} // namespace

void ApplyPluginSettings()
{
    const std::string folder = ModuleFolder(module_handle, reinterpret_cast<const void*>(&ApplyPluginSettings));
    const std::string path = folder + kSettingsName;
    std::string text;
    const FileRead read = folder.empty() ? FileRead::Missing : ReadFileText(path, kLargestSettingsFile, text);
    const Settings settings = ParseSettings(text, SettingsFor::Plugin, ListAdapters);

    // A user who made a settings file hears of its mistakes: they open the
    // log for this Init whatever the file says of it.
    const bool mistakes = read == FileRead::Failed || read == FileRead::TooLarge || settings.HasMistakes();
    Delivery& delivery = plugin_state.delivery;
    if (settings.log || mistakes)
        delivery.OpenLog(folder + kLogName);
    else
        delivery.CloseLog();
    delivery.SendTo(settings.destinations);
    delivery.Report();

    if (delivery.LogOpen()) {
        Opening opening;
        opening.first_line = std::string(KINEMORA_PLUGIN_NAME " ") + KINEMORA_VERSION + ": Init";
        opening.read = read;
        opening.path = path;
        if (!settings.log)
            opening.after_read.push_back("settings: written because the settings file has mistakes; it is written "
                                         "at every Init until they are mended, and always with log = on");
        opening.line_lead = "settings: line ";
        opening.file_lead = "settings: ";
        opening.note_lead = "settings: ";
        opening.destinations_lead = "destinations: ";
        delivery.WriteOpening(opening, settings);
        delivery.Log(std::string("monitor: ") + (settings.monitor ? "on" : "off"));
        if (settings.report)
            delivery.Log("report: " + folder + kReportName + ", every 60 s while frames come and at Shutdown");
    }
    if (settings.report && !plugin_state.report && !folder.empty())
        plugin_state.report = PluginReport::Start(folder + kReportName, ReportHeading());
    else if (!settings.report)
        plugin_state.report.reset();

    // A monitor whose window was closed by hand shows again at the next Init.
    if (settings.monitor && !MonitorRunning()) {
        StopMonitor();
        StartMonitor();
    } else if (!settings.monitor && monitor_from_settings) {
        StopMonitor();
    }
    monitor_from_settings = settings.monitor;
}

void EndPluginSettings()
{
    plugin_state.delivery.LogCounts("Shutdown");
    if (plugin_state.report)
        plugin_state.report->Finish();
    plugin_state.report.reset();
    if (monitor_from_settings)
        StopMonitor();
    monitor_from_settings = false;
}

void SendPluginDatagram(const void* data, std::int32_t length)
{
    // A host that never started Windows Sockets would lose every datagram, so
    // the plug-in starts it itself, once, before its first send (DllMain must
    // not). Where the host did, this only raises Windows' own count. Nothing
    // cleans it up: frames may come until the process ends.
    static const bool sockets_started = (StartSockets(), true);
    (void)sockets_started;
    plugin_state.delivery.Send(data, length);
}
