#include "plugin_settings.h"

#include "aerofly_edition.h"
#include "destinations.h"
#include "files.h"
#include "kinemora_version.h"
#include "log_file.h"
#include "monitor.h"
#include "outbox.h"
#include "settings_file.h"
#include "socket_startup.h"

#include <string>

namespace {

constexpr const char* kSettingsName = KINEMORA_PLUGIN_NAME ".ini";
constexpr const char* kLogName = KINEMORA_PLUGIN_NAME ".log";

// The host's thread alone touches these: Init, Update and Shutdown.
Outbox plugin_outbox;
LogFile plugin_log;
bool monitor_from_settings = false;

// What the outbox learns goes to the log, when there is one. The counts start again.
void SetOutboxReport()
{
    plugin_outbox.SetReport(plugin_log.IsOpen() ? Outbox::Report([](const std::string& line) { plugin_log.Write(line); })
                                                : Outbox::Report());
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
    const bool log = settings.log || mistakes;
    if (log && !plugin_log.IsOpen())
        plugin_log.Open(folder + kLogName);
    else if (!log)
        plugin_log.Close();
    plugin_outbox.SetDestinations(settings.destinations);
    plugin_outbox.WatchAdapters(ListAdapters, SteadyMilliseconds);
    SetOutboxReport();

    if (plugin_log.IsOpen()) {
        plugin_log.Write(std::string(KINEMORA_PLUGIN_NAME " ") + KINEMORA_VERSION + ": Init");
        plugin_log.Write("settings: " + DescribeSettingsRead(read, path));
        if (!settings.log)
            plugin_log.Write("settings: written because the settings file has mistakes; it is written at every "
                             "Init until they are mended, and always with log = on");
        for (const IgnoredLine& ignored : settings.ignored)
            plugin_log.Write((ignored.line == 0 ? std::string("settings: ") :
                              "settings: line " + std::to_string(ignored.line) + " ignored: ") + ignored.why);
        for (const std::string& note : settings.notes)
            plugin_log.Write("settings: " + note);
        plugin_log.Write("destinations: " + DescribeDestinations(plugin_outbox.Destinations()));
        plugin_log.Write(std::string("monitor: ") + (settings.monitor ? "on" : "off"));
    }

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
    plugin_outbox.LogCounts("Shutdown");
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
    plugin_outbox.Send(data, length);
}
