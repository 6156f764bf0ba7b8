#include "commands.h"
#include "simulator_port.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Command Parsed(const std::string& line)
{
    Command command;
    std::string error;
    EXPECT_TRUE(ParseCommand(line, command, error)) << line << ": " << error;
    return command;
}

std::string Refusal(const std::string& line)
{
    Command command;
    std::string error;
    EXPECT_FALSE(ParseCommand(line, command, error)) << line;
    return error;
}

TEST(EmulatorCommands, ParsesEachCommandWithItsArgument)
{
    EXPECT_EQ(Parsed("quit").kind, CommandKind::Quit);
    EXPECT_EQ(Parsed("  drop  ").kind, CommandKind::Drop);
    EXPECT_EQ(Parsed("simstart").kind, CommandKind::SimStart);
    const Command event = Parsed("event 4294967295");
    EXPECT_EQ(event.kind, CommandKind::Event);
    EXPECT_EQ(event.id, 4294967295u);
    EXPECT_EQ(Parsed("record 7").id, 7u);
    EXPECT_EQ(Parsed("data 0").id, 0u);
    EXPECT_EQ(Parsed("short").id, 11u);
    EXPECT_EQ(Parsed("short 0").id, 0u);
    EXPECT_EQ(Parsed("wait 0.25").seconds, 0.25);
    EXPECT_EQ(Parsed("exit").kind, CommandKind::Exit);
}

TEST(EmulatorCommands, KnowWhichOfThemSendToTheClient)
{
    for (const char* line : {"quit", "drop", "simstart", "event 1", "record 7", "exception 1 2 3", "data 0", "short"})
        EXPECT_TRUE(Parsed(line).needs_client) << line;
    for (const char* line : {"help", "status", "offline", "online", "hold", "step", "run", "wait 1", "exit"})
        EXPECT_FALSE(Parsed(line).needs_client) << line;
}

TEST(EmulatorCommands, SkipsBlankLinesAndCommentsSilently)
{
    for (const char* line : {"", "   ", "# a comment", "#quit"}) {
        Command command;
        std::string error = "untouched";
        EXPECT_FALSE(ParseCommand(line, command, error));
        EXPECT_EQ(error, "") << line;
    }
}

TEST(EmulatorCommands, ExplainsMistakes)
{
    EXPECT_EQ(Refusal("launch"), "unknown command 'launch'; 'help' lists the commands");
    EXPECT_EQ(Refusal("quit now"), "'quit' takes no argument; 'help' shows how to use it");
    EXPECT_EQ(Refusal("event"), "'event' takes one argument; 'help' shows how to use it");
    EXPECT_EQ(Refusal("short 1 2"), "'short' takes at most one argument; 'help' shows how to use it");
    EXPECT_EQ(Refusal("exception 3 15"), "'exception' takes three arguments; 'help' shows how to use it");
    EXPECT_EQ(Refusal("exception 3 15 x"), "'exception' wants whole numbers from 0 to 4294967295, not 'x'");
    EXPECT_EQ(Refusal("event -1"), "'event' wants a whole number from 0 to 4294967295, not '-1'");
    EXPECT_EQ(Refusal("record 4294967296"), "'record' wants a whole number from 0 to 4294967295, not '4294967296'");
    EXPECT_EQ(Refusal("short 65"), "'short' wants a value count from 0 to 64, not '65'");
    EXPECT_EQ(Refusal("wait soon"), "'wait' wants a number of seconds from 0 to 86400, not 'soon'");
}

TEST(SimulatorPort, AcceptsOnlyDecimalPortNumbers)
{
    std::uint16_t port = 1234;
    EXPECT_TRUE(ParsePort("50011", port));
    EXPECT_EQ(port, 50011);
    EXPECT_TRUE(ParsePort("65535", port));
    EXPECT_EQ(port, 65535);
    for (const char* bad : {"", "0", "65536", "-1", "12a", " 80", "99999999999999999999"}) {
        port = 1234;
        EXPECT_FALSE(ParsePort(bad, port)) << bad;
        EXPECT_EQ(port, 1234);
    }
    EXPECT_FALSE(ParsePort(nullptr, port));
}

} // namespace
