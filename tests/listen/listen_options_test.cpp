// kinemora-listen's options: each value as the program gets it, and one line
// naming the option for a mistake.
#include "listen_options.h"
#include "read_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// The options read from these arguments, and the mistake ("" for none).
std::pair<ListenOptions, std::string> Read(const std::vector<std::string>& arguments)
{
    return ReadOptions(kListenCommandLine, arguments);
}

TEST(ListenOptions, EveryValueAndTheDefaults)
{
    const ListenOptions none = Read({}).first;
    EXPECT_EQ(std::tie(none.port, none.count, none.timeout, none.csv, none.hex, none.quiet, none.live),
              std::make_tuple(50010ul, 0ull, 0.0, std::string(), false, false, false));
    const auto [all, error] = Read({"--port", "65535", "--count", "1", "--timeout", "0.25", "--csv", "C:\\Rig\\a b.csv",
                                    "--hex", "--quiet", "--live"});
    EXPECT_EQ(error, "");
    EXPECT_EQ(std::tie(all.port, all.count, all.timeout, all.csv, all.hex, all.quiet, all.live),
              std::make_tuple(65535ul, 1ull, 0.25, std::string("C:\\Rig\\a b.csv"), true, true, true));
}

TEST(ListenOptions, MistakesHelpAndVersion)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--port"}, "missing value for '--port': a number from 1 to 65535"},
        {{"--port", "65536"}, "--port wants a number from 1 to 65535, not '65536'"},
        {{"--count", "0"}, "--count wants a whole number of at least 1, not '0'"},
        {{"--timeout", "0"}, "--timeout wants a number of seconds above 0, at most 1000000000, not '0'"},
        {{"50010"}, "unexpected argument '50010': every value follows its option"},
    };
    for (const auto& [arguments, error] : cases)
        EXPECT_EQ(Read(arguments).second, error);
    EXPECT_EQ(OutcomeOf(kListenCommandLine, {"--port", "0", "--help"}), cli::Outcome::Help);
    EXPECT_EQ(OutcomeOf(kListenCommandLine, {"--version"}), cli::Outcome::Version);
}

} // namespace
