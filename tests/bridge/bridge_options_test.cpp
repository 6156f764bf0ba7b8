// The bridge's command line.
#include "bridge_options.h"
#include "read_command_line.h"

#include <gtest/gtest.h>

namespace {

BridgeOptions Parsed(const std::vector<std::string>& arguments)
{
    const auto [options, error] = ReadOptions(kBridgeCommandLine, arguments);
    EXPECT_EQ(error, "");
    return options;
}

std::string Refused(const std::vector<std::string>& arguments)
{
    return ReadOptions(kBridgeCommandLine, arguments).second;
}

} // namespace

TEST(BridgeOptions, NoneMeansTheDefaults)
{
    const BridgeOptions options = Parsed({});
    EXPECT_TRUE(options.destinations.empty());
    EXPECT_TRUE(options.config.empty());
    EXPECT_FALSE(options.log || options.exit_with_simulator);
}

TEST(BridgeOptions, EachOptionAndRepeatedDestinationsInOrder)
{
    const BridgeOptions options = Parsed({"--destination", "192.0.2.10:50123", "--log", "--destination", "broadcast",
                                          "--config", "C:\\Rig\\bridge.ini"});
    EXPECT_EQ(options.destinations, (std::vector<std::string>{"192.0.2.10:50123", "broadcast"}));
    EXPECT_EQ(options.config, "C:\\Rig\\bridge.ini");
    EXPECT_TRUE(options.log);
    EXPECT_EQ(OutcomeOf(kBridgeCommandLine, {"--help"}), cli::Outcome::Help);
    EXPECT_EQ(OutcomeOf(kBridgeCommandLine, {"/?"}), cli::Outcome::Help);
    EXPECT_EQ(OutcomeOf(kBridgeCommandLine, {"--version"}), cli::Outcome::Version);
}

TEST(BridgeOptions, MistakesAreNamed)
{
    EXPECT_EQ(Refused({"--destnation", "broadcast"}), "unknown option '--destnation'");
    EXPECT_EQ(Refused({"--destination"}), "--destination needs a value");
    EXPECT_EQ(Refused({"--config", ""}), "--config needs a value");
    EXPECT_EQ(Refused({"broadcast"}), "unknown option 'broadcast'");
}
