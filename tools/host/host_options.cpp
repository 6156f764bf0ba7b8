#include "host_options.h"

#include "option_table.h"

#include <iterator>

namespace {

const Option kOptions[] = {
    Heading("Options:"),
    Decimal("--rate", "HZ", "frames per second", 0.1, 10000,
            "frames per second (default 60); a recording keeps its own"),
    Decimal("--duration", "S", "seconds", 0, 1e7, "seconds to fly (default: to the end of the flight)"),
    Decimal("--start", "S", "seconds", 0, 1e7, "start S seconds into the flight (default 0)"),
    Text("--profile", "CSV",
         "fly a CSV file, or replay a kinemora-listen --csv recording\n"
         "of the plug-in's K01 datagrams at its own times, instead of\n"
         "the built-in flight (take-off, climb, turns, landing; 300 s);\n"
         "see docs/flights.md for the columns"),
    Integer("--other", "N", "a whole number", 0, 10000, "further messages per frame (default 40)"),
    Text("--replay", "FILE", "run a replay script of exact calls instead of a flight"),
    Flag("--handles", "print the process's handle count after the first 100\n"
                      "frames and at the end"),
    Flag("--no-sockets", "do not start Windows Sockets before loading the plug-in,\n"
                         "like a host that leaves it to its plug-ins (Windows only)"),
    Flag("--quiet", "no progress lines"),
};

const OptionTable kTable = {
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
};

} // namespace

std::string HostUsage()
{
    return Usage(kTable);
}

bool ParseHostOptions(const std::vector<std::string>& arguments, HostOptions& options, std::string& error)
{
    const CommandLine line = ReadCommandLine(kTable, arguments);
    if (TakeHelpOrVersion(line, options.help, options.version))
        return true;
    if (line.mistake) {
        const OptionMistake& mistake = *line.mistake;
        error = mistake.kind == MistakeKind::Extra ? "one plug-in at a time; '" + mistake.argument + "' is extra"
                                                   : Describe(mistake);
        return false;
    }
    if (line.plain.empty()) {
        error = "name the plug-in to load";
        return false;
    }
    options.plugin = line.plain.front();
    if (const GivenOption* rate = line.Last("--rate"))
        options.rate = rate->number;
    if (const GivenOption* duration = line.Last("--duration"))
        options.duration = duration->number;
    if (const GivenOption* start = line.Last("--start"))
        options.start = start->number;
    if (const GivenOption* profile = line.Last("--profile"))
        options.profile = profile->text;
    if (const GivenOption* other = line.Last("--other"))
        options.other = static_cast<unsigned>(other->whole);
    if (const GivenOption* replay = line.Last("--replay"))
        options.replay = replay->text;
    options.handles = line.Has("--handles");
    options.start_sockets = !line.Has("--no-sockets");
    options.quiet = line.Has("--quiet");
    return true;
}
