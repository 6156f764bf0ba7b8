// kinemora-simulator's options: each value as the emulator gets it, and one
// line naming the option for a mistake.
#include "simulator_options.h"
#include "read_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// The options read from these arguments, with the port from the environment
// until --port as main does, and the mistake ("" for none).
std::pair<SimulatorOptions, std::string> Read(const std::vector<std::string>& arguments)
{
    SimulatorOptions options;
    options.emulator.port = 50011;
    return ReadOptions(kSimulatorCommandLine, arguments, options);
}

TEST(SimulatorOptions, EveryValueAndTheDefaults)
{
    const SimulatorOptions none = Read({}).first;
    const EmulatorOptions& n = none.emulator;
    EXPECT_EQ(std::tie(n.port, n.rate_hz, n.pace, n.offline, n.verbose, none.profile, none.start_seconds),
              std::make_tuple(std::uint16_t{50011}, 30.0, Pace::Realistic, false, false, std::string(), 0.0));
    const auto [all, error] = Read({"--port", "1", "--profile", "flight.csv", "--rate", "1000", "--start", "145",
                                    "--fast", "--hold", "--offline", "--verbose"});
    EXPECT_EQ(error, "");
    const EmulatorOptions& a = all.emulator;
    EXPECT_EQ(std::tie(a.port, a.rate_hz, a.pace, a.offline, a.verbose, all.profile, all.start_seconds),
              std::make_tuple(std::uint16_t{1}, 1000.0, Pace::Hold, true, true, std::string("flight.csv"), 145.0));
    EXPECT_EQ(Read({"--hold", "--fast"}).first.emulator.pace, Pace::Fast); // the later one counts
}

TEST(SimulatorOptions, MistakesHelpAndVersion)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--port", "65536"}, "--port wants a number from 1 to 65535, not '65536'"},
        {{"--rate", "0.5"}, "--rate wants frames per second from 1 to 1000, not '0.5'"},
        {{"--start", "-1"}, "--start wants a number of seconds from 0 to 1000000, not '-1'"},
        {{"--start"}, "--start needs a value: a number of seconds from 0 to 1000000"},
        {{"--edition", "2022"}, "--edition wants 2020 or 2024, not '2022'"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"fast"}, "unexpected argument 'fast': every value follows its option"},
    };
    for (const auto& [arguments, error] : cases)
        EXPECT_EQ(Read(arguments).second, error);
    EXPECT_EQ(OutcomeOf(kSimulatorCommandLine, {"--bogus", "--help"}), cli::Outcome::Help);
    EXPECT_EQ(OutcomeOf(kSimulatorCommandLine, {"--version"}), cli::Outcome::Version);
}

} // namespace
