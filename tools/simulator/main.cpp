// kinemora-simulator: emulates Microsoft Flight Simulator 2020 for the bridge
// kinemora_mfs_2020, through the SimConnect stand-in library.
#include "commands.h"
#include "emulator.h"
#include "files.h"
#include "flight_source.h"
#include "simulator_port.h"
#include "tool_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kUsage[] =
    "Usage: kinemora-simulator [options]\n"
    "\n"
    "Stands in for Microsoft Flight Simulator 2020 so that kinemora_mfs_2020 can\n"
    "run without it. The bridge must be linked with the SimConnect stand-in (its\n"
    "SimConnect.dll beside kinemora_mfs_2020.exe, or libSimConnect.so natively);\n"
    "the stand-in connects to this program over 127.0.0.1. Every data request is\n"
    "answered with one delivery of the aircraft's motion, taken from the built-in\n"
    "flight (take-off, climb, turns, landing; 300 s, repeating), from a CSV file,\n"
    "or from a kinemora-listen --csv recording of the bridge's K2 datagrams.\n"
    "\n"
    "Options:\n"
    "  --port N         TCP port on 127.0.0.1 (default: the environment variable\n"
    "                   KINEMORA_SIMULATOR_PORT, else 50011); the stand-in reads\n"
    "                   the same variable\n"
    "  --profile FILE   fly a CSV file or replay a recording instead of the\n"
    "                   built-in flight (it repeats)\n"
    "  --rate HZ        frames per second (default 30); a recording keeps its own\n"
    "  --start SECONDS  begin this many seconds into the flight (default 0)\n"
    "  --fast           answer every request at once, as fast as the bridge asks\n"
    "  --hold           answer requests only on the command 'step'\n"
    "  --offline        start as if the simulator were not running\n"
    "  --verbose        print every request and every delivery\n"
    "  --help           show this text\n"
    "\n"
    "CSV files: a header line naming the columns, then one row per frame.\n"
    "Columns: velocity_body_z, velocity_body_x, velocity_body_y (m/s),\n"
    "acceleration_body_z, _x, _y (m/s^2), bank, pitch, heading (radians),\n"
    "rotation_velocity_body_z, _x, _y (radians per second), in any order; a\n"
    "quantity without a column is 0. With a time column (time, time_s or\n"
    "arrival_s, in seconds) the rows are a recording, delivered at their own\n"
    "times: a kinemora-listen --csv recording replays as it is, its K2 rows\n"
    "only. Cells may be nan, inf or -inf. See docs/flights.md.\n"
    "\n";

struct Options {
    EmulatorOptions emulator;
    std::string profile;
    double start_seconds = 0.0;
};

bool ParseRate(const char* text, double& rate)
{
    char* end = nullptr;
    rate = std::strtod(text, &end);
    return *end == '\0' && rate >= 1.0 && rate <= 1000.0;
}

// Returns 0 to go on, -1 after --help, or an exit code.
int ParseOptions(int argc, char** argv, Options& options)
{
    options.emulator.port = SimulatorPortFromEnvironment();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kCommandHelp, stdout);
            return -1;
        } else if (arg == "--fast") {
            options.emulator.pace = Pace::Fast;
        } else if (arg == "--hold") {
            options.emulator.pace = Pace::Hold;
        } else if (arg == "--offline") {
            options.emulator.offline = true;
        } else if (arg == "--verbose") {
            options.emulator.verbose = true;
        } else if (arg == "--port" && has_value) {
            if (!ParsePort(argv[++i], options.emulator.port)) {
                std::fprintf(stderr, "kinemora-simulator: --port wants a number from 1 to 65535, not '%s'\n", argv[i]);
                return 2;
            }
        } else if (arg == "--rate" && has_value) {
            if (!ParseRate(argv[++i], options.emulator.rate_hz)) {
                std::fprintf(stderr, "kinemora-simulator: --rate wants 1 to 1000 frames per second, not '%s'\n", argv[i]);
                return 2;
            }
        } else if (arg == "--start" && has_value) {
            char* end = nullptr;
            options.start_seconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(options.start_seconds >= 0.0 && options.start_seconds <= 1e6)) {
                std::fprintf(stderr, "kinemora-simulator: --start wants a number of seconds from 0 to 1000000, not '%s'\n",
                             argv[i]);
                return 2;
            }
        } else if (arg == "--profile" && has_value) {
            options.profile = argv[++i];
        } else {
            const bool wants_value = arg == "--port" || arg == "--rate" || arg == "--start" || arg == "--profile";
            std::fprintf(stderr, "kinemora-simulator: %s '%s'. Try --help.\n",
                         wants_value ? "missing value for" : "unknown option", argv[i]);
            return 2;
        }
    }
    return 0;
}

// Runs on its own thread: commands from standard input into the queue. A
// 'wait' holds back the commands after it. At the end of the input the
// emulator carries on until it is ended.
void ReadCommands(CommandQueue* commands)
{
    std::string line;
    while (std::getline(std::cin, line)) {
        Command command;
        std::string error;
        if (!ParseCommand(line, command, error)) {
            if (!error.empty()) {
                std::fprintf(stderr, "kinemora-simulator: %s\n", error.c_str());
                std::fflush(stderr);
            }
            continue;
        }
        if (command.kind == CommandKind::Wait)
            std::this_thread::sleep_for(std::chrono::duration<double>(command.seconds));
        else
            commands->Push(command);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // In UTF-8 from the wide command line on Windows, so that a file name may hold any character.
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<char*> pointers = {argv[0]};
    for (const std::string& argument : arguments)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    Options options;
    if (int code = ParseOptions(static_cast<int>(pointers.size()), pointers.data(), options))
        return code < 0 ? 0 : code;
    FlightSource source;
    if (!options.profile.empty() && !LoadFlightFile(options.profile, DatagramKind::K2, "kinemora-simulator", source))
        return 1;
    source.StartAt(options.start_seconds);

    UseMillisecondTimers();
    Emulator emulator(options.emulator, std::move(source));
    std::string error;
    if (!emulator.Listen(error)) {
        std::fprintf(stderr, "kinemora-simulator: %s\nIs another emulator already running? Try --port.\n",
                     error.c_str());
        return 1;
    }
    static CommandQueue commands;
    std::thread(ReadCommands, &commands).detach();
    emulator.Run(commands);
    std::fflush(stdout);
    std::fflush(stderr);
    // The reader thread may still wait for input; end without waiting for it.
    std::_Exit(0);
}
