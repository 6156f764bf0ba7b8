// kinemora-host's options: the plug-in and each value as the host gets them,
// and one line naming the option for a mistake.
#include "host_options.h"
#include "read_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// The options read from these arguments, and the mistake ("" for none).
std::pair<HostOptions, std::string> Read(const std::vector<std::string>& arguments)
{
    return ReadOptions(kHostCommandLine, arguments);
}

TEST(HostOptions, EveryValueAndTheDefaults)
{
    const HostOptions o = Read({"a.dll"}).first;
    EXPECT_EQ(std::tie(o.plugin, o.rate, o.duration, o.start, o.profile, o.other, o.replay, o.handles,
                       o.start_sockets, o.quiet),
              std::make_tuple(std::string("a.dll"), 60.0, -1.0, 0.0, std::string(), 40u, std::string(), false, true,
                              false));
    const auto [all, error] = Read({"--rate", "0.1", "--duration", "0", "--start", "95.5", "--profile", "flight.csv",
                                    "--other", "10000", "--replay", "calls.txt", "--handles", "--no-sockets",
                                    "--quiet", "C:\\Sim\\kinemora_aerofly_fs_2.dll"});
    EXPECT_EQ(error, "");
    EXPECT_EQ(std::tie(all.plugin, all.rate, all.duration, all.start, all.profile, all.other, all.replay, all.handles,
                       all.start_sockets, all.quiet),
              std::make_tuple(std::string("C:\\Sim\\kinemora_aerofly_fs_2.dll"), 0.1, 0.0, 95.5,
                              std::string("flight.csv"), 10000u, std::string("calls.txt"), true, false, true));
}

TEST(HostOptions, MistakesHelpAndVersion)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "name the plug-in to load"},
        {{"a.dll", "b.dll"}, "one plug-in at a time; 'b.dll' is extra"},
        {{"a.dll", "--rate", "0.09"}, "--rate wants frames per second from 0.1 to 10000, not '0.09'"},
        {{"a.dll", "--duration", "-1"}, "--duration wants seconds from 0 to 10000000, not '-1'"},
        {{"a.dll", "--start", "1e8"}, "--start wants seconds from 0 to 10000000, not '1e8'"},
        {{"a.dll", "--other", "1.5"}, "--other wants a whole number from 0 to 10000, not '1.5'"},
        {{"a.dll", "--profile"}, "--profile needs a value"},
        {{"a.dll", "--bogus"}, "unknown option '--bogus'"},
    };
    for (const auto& [arguments, error] : cases)
        EXPECT_EQ(Read(arguments).second, error);
    EXPECT_EQ(OutcomeOf(kHostCommandLine, {"-h"}), cli::Outcome::Help);
    EXPECT_EQ(OutcomeOf(kHostCommandLine, {"--version"}), cli::Outcome::Version);
}

} // namespace
