#include "host_options.h"

#include <iterator>

namespace {

bool LeaveSockets(HostOptions& options, const cli::Value&)
{
    options.start_sockets = false;
    return true;
}

using Row = cli::Option<HostOptions>;

const Row kOptions[] = {
    {cli::Heading("Options:")},
    {cli::Decimal("--rate", "HZ", "frames per second", 0.1, 10000,
                  "frames per second (default 60); a recording keeps its own"),
     cli::Set<&HostOptions::rate>},
    {cli::Decimal("--duration", "S", "seconds", 0, 1e7, "seconds to fly (default: to the end of the flight)"),
     cli::Set<&HostOptions::duration>},
    {cli::Decimal("--start", "S", "seconds", 0, 1e7, "start S seconds into the flight (default 0)"),
     cli::Set<&HostOptions::start>},
    {cli::Text("--profile", "CSV",
               "fly a CSV file, or replay a kinemora-listen --csv recording\n"
               "of the plug-in's K01 datagrams at its own times, instead of\n"
               "the built-in flight (take-off, climb, turns, landing; 300 s);\n"
               "see docs/flights.md for the columns"),
     cli::Set<&HostOptions::profile>},
    {cli::Integer("--other", "N", "a whole number", 0, 10000, "further messages per frame (default 40)"),
     cli::Set<&HostOptions::other>},
    {cli::Text("--replay", "FILE", "run a replay script of exact calls instead of a flight"),
     cli::Set<&HostOptions::replay>},
    {cli::Switch("--handles", "print the process's handle count after the first 100\n"
                              "frames and at the end"),
     cli::Set<&HostOptions::handles>},
    {cli::Switch("--no-sockets", "do not start Windows Sockets before loading the plug-in,\n"
                                 "like a host that leaves it to its plug-ins (Windows only)"),
     LeaveSockets},
    {cli::Switch("--quiet", "no progress lines"), cli::Set<&HostOptions::quiet>},
};

void TakePlugin(HostOptions& options, const std::string& plugin)
{
    options.plugin = plugin;
}

std::string Reword(const cli::Mistake& mistake)
{
    return mistake.kind == cli::MistakeKind::Extra ? "one plug-in at a time; '" + mistake.argument + "' is extra" : "";
}

bool NamesAPlugin(HostOptions& options, const std::vector<std::string>&, std::string& error)
{
    if (options.plugin.empty())
        error = "name the plug-in to load";
    return !options.plugin.empty();
}

} // namespace

const cli::Table<HostOptions> kHostCommandLine = {
    kHostProgram,
    "Usage: kinemora-host PLUGIN [options]\n"
    "\n"
    "Loads an Aerofly FS 2 or FS 4 plug-in (kinemora_aerofly_fs_2.dll or\n"
    "kinemora_aerofly_fs_4.dll, or the .so of a native build), finds which of the\n"
    "two editions' exports it has and says which, and drives it as the simulator\n"
    "does: the version query, Init, one Update per frame with the frame's\n"
    "messages, and Shutdown. Each frame carries the six motion messages (the\n"
    "velocity in body and in world axes) and further messages with real names,\n"
    "like the simulator sends.\n"
    "\n",
    kOptions,
    std::size(kOptions),
    "\n"
    "The plug-in broadcasts to UDP port 50010; watch with kinemora-listen.\n",
    19,
    1, // the plug-in
    TakePlugin,
    Reword,
    NamesAPlugin,
};

