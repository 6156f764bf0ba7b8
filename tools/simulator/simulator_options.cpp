#include "simulator_options.h"

#include "commands.h"

#include <iterator>

namespace {

// The later of --fast and --hold counts.
template <Pace pace>
bool Answer(SimulatorOptions& options, const cli::Value&)
{
    options.emulator.pace = pace;
    return true;
}

bool Announce(SimulatorOptions& options, const cli::Value& value)
{
    options.emulator.edition = FindEdition(value.text);
    return options.emulator.edition != nullptr;
}

using Row = cli::Option<SimulatorOptions>;

const Row kOptions[] = {
    {cli::Heading("Options:")},
    {cli::Integer("--port", "N", "a number", 1, 65535,
                  "TCP port on 127.0.0.1 (default: the environment variable\n"
                  "KINEMORA_SIMULATOR_PORT, else 50011); the stand-in reads\n"
                  "the same variable"),
     cli::Set<&SimulatorOptions::emulator, &EmulatorOptions::port>},
    {cli::Text("--profile", "FILE", "fly a CSV file or replay a recording instead of the\n"
                                    "built-in flight (it repeats)"),
     cli::Set<&SimulatorOptions::profile>},
    {cli::Decimal("--rate", "HZ", "frames per second", 1, 1000,
                  "frames per second (default 30); a recording keeps its own"),
     cli::Set<&SimulatorOptions::emulator, &EmulatorOptions::rate_hz>},
    {cli::Decimal("--start", "SECONDS", "a number of seconds", 0, 1e6,
                  "begin this many seconds into the flight (default 0)"),
     cli::Set<&SimulatorOptions::start_seconds>},
    {cli::Text("--edition", "YEAR", "announce the simulator as MSFS 2020 (the default) or\n"
                                    "MSFS 2024 in the open acknowledgement", "2020 or 2024"),
     Announce},
    {cli::Switch("--fast", "answer every request at once, as fast as the bridge asks"), Answer<Pace::Fast>},
    {cli::Switch("--hold", "answer requests only on the command 'step'"), Answer<Pace::Hold>},
    {cli::Switch("--offline", "start as if the simulator were not running"),
     cli::Set<&SimulatorOptions::emulator, &EmulatorOptions::offline>},
    {cli::Switch("--verbose", "print every request and every delivery"),
     cli::Set<&SimulatorOptions::emulator, &EmulatorOptions::verbose>},
};

} // namespace

const cli::Table<SimulatorOptions> kSimulatorCommandLine = {
    "kinemora-simulator",
    "Usage: kinemora-simulator [options]\n"
    "\n"
    "Stands in for Microsoft Flight Simulator 2020 (or 2024, --edition) so that\n"
    "kinemora_mfs_2020 can run without it. The bridge must be linked with the\n"
    "SimConnect stand-in (its SimConnect.dll beside kinemora_mfs_2020.exe, or\n"
    "libSimConnect.so natively); the stand-in connects to this program over\n"
    "127.0.0.1. Every data request is answered with one delivery of the\n"
    "aircraft's motion, taken from the built-in flight (take-off, climb, turns,\n"
    "landing; 300 s, repeating), from a CSV file, or from a kinemora-listen --csv\n"
    "recording of the bridge's K2 datagrams.\n"
    "\n",
    kOptions,
    std::size(kOptions),
    "\n"
    "CSV files: a header line naming the columns, then one row per frame.\n"
    "Columns: velocity_body_z, velocity_body_x, velocity_body_y (m/s),\n"
    "acceleration_body_z, _x, _y (m/s^2), bank, pitch, heading (radians),\n"
    "rotation_velocity_body_z, _x, _y (radians per second), in any order, with\n"
    "the flight's own signs (bank positive right wing down, pitch positive nose\n"
    "up); the emulator delivers them with MSFS's signs (pitch positive nose\n"
    "down, bank positive left wing down). A quantity without a column is 0.\n"
    "With a time column (time, time_s or arrival_s, in seconds) the rows are a\n"
    "recording, delivered at their own times: a kinemora-listen --csv recording\n"
    "replays as it is, its K2 rows only. Cells may be nan, inf or -inf. See\n"
    "docs/flights.md.\n"
    "\n",
    19,
    0,
    nullptr,
    nullptr,
    nullptr,
    kCommandHelp, // then the commands it reads on standard input
};

