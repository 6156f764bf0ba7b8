// kinemora-simulator: emulates Microsoft Flight Simulator 2020 for the bridge
// kinemora_mfs_2020, through the SimConnect stand-in library.
#include "arguments.h"
#include "commands.h"
#include "emulator.h"
#include "flight_source.h"
#include "simulator_options.h"
#include "simulator_port.h"
#include "timers.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

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
    SimulatorOptions options;
    options.emulator.port = SimulatorPortFromEnvironment();
    // In UTF-8 from the wide command line on Windows, so that a file name may hold any character.
    if (const std::optional<int> status = cli::Run(kSimulatorCommandLine, ProgramArguments(argc, argv), options))
        return *status;
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
