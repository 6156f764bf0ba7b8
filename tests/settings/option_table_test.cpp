// The option table every program reads its command line with: strict
// numbers in range, each mistake in one line, and the usage's option list.
#include "option_table.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

const Option kOptions[] = {
    Heading("Options:"),
    Integer("--count", "N", "a whole number", 1, kNoLimit, "how many"),
    Decimal("--rate", "HZ", "datagrams per second", 0.5, 1000, "how often,\nevenly"),
    DecimalAbove("--timeout", "S", "seconds", 0, 60, "how long"),
    RepeatedText("--destination", "X", "where to"),
    Heading("Other:"),
    Text("--folder", "DIR", "which folder"),
    Flag("--quiet", "no lines"),
};

const OptionTable kTable = {"probe", "Usage: probe [options]\n\n", kOptions, std::size(kOptions), "\nEnd.\n", 15, 1};

// The one-line mistake for these arguments, or "" when they were read.
std::string MistakeFor(const std::vector<std::string>& arguments)
{
    const CommandLine line = ReadCommandLine(kTable, arguments);
    return line.mistake ? Describe(*line.mistake) : "";
}

TEST(OptionTable, NumbersAreReadWholeAndInRange)
{
    const std::pair<const char*, double> good[] = {{"1", 1}, {"007", 7}, {"18446744073709551615", 18446744073709551615.0}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(ReadCommandLine(kTable, {"--count", text}).Last("--count")->number, value) << text;
    for (const auto& [text, value] :
         {std::pair{"0.5", 0.5}, {"1000", 1000.0}, {"+2.5e2", 250.0}, {"2.5e+1", 25.0}, {"5e-1", 0.5}, {".5", 0.5},
          {"5.", 5.0}}) {
        ASSERT_EQ(MistakeFor({"--rate", text}), "");
        EXPECT_EQ(ReadCommandLine(kTable, {"--rate", text}).Last("--rate")->number, value) << text;
    }

    for (const char* text : {"0", "-1", "+1", "1.0", "1e2", " 1", "1 ", "", "18446744073709551616"})
        EXPECT_EQ(MistakeFor({"--count", text}), "--count wants a whole number of at least 1, not '" + std::string(text) + "'");
    for (const char* text : {"0.49", "1000.01", "1,5", "0x10", "inf", "nan", "1e999", "1e", ".", "-", ""})
        EXPECT_EQ(MistakeFor({"--rate", text}),
                  "--rate wants datagrams per second from 0.5 to 1000, not '" + std::string(text) + "'");
    EXPECT_EQ(MistakeFor({"--timeout", "0"}), "--timeout wants seconds above 0, at most 60, not '0'");
    EXPECT_EQ(MistakeFor({"--timeout", "60"}), "");
}

TEST(OptionTable, EachMistakeInOneLineAndTheFirstIsTold)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--folder", "", "--quiet"}, "--folder needs a value"},
        {{"--rate"}, "--rate needs a value: datagrams per second from 0.5 to 1000"},
        {{"plugin", "extra"}, "unexpected argument 'extra': every value follows its option"},
        {{"--rate", "0", "--bogus"}, "--rate wants datagrams per second from 0.5 to 1000, not '0'"},
    };
    for (const auto& [arguments, mistake] : cases)
        EXPECT_EQ(MistakeFor(arguments), mistake);
    EXPECT_TRUE(ReadCommandLine(kTable, {"--bogus", "/?"}).help);
    EXPECT_TRUE(ReadCommandLine(kTable, {"--rate", "0", "--version"}).version);
}

TEST(OptionTable, RepeatsKeepEveryValueAndOthersTheLast)
{
    const CommandLine line =
        ReadCommandLine(kTable, {"--folder", "a", "--destination", "x", "-", "--destination", "y", "--folder", "--help"});
    EXPECT_EQ(line.Texts("--destination"), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(line.Last("--folder")->text, "--help"); // a value may look like an option
    EXPECT_FALSE(line.help);
    EXPECT_EQ(line.plain, (std::vector<std::string>{"-"}));
    ASSERT_EQ(line.given.size(), 3u); // --folder once, where it was given last
    EXPECT_TRUE(line.given[2].Is("--folder"));
}

TEST(OptionTable, TheUsageListsEveryOptionFromTheTable)
{
    // The column is 15: "--timeout S" just fits, with two spaces; "--folder DIR" does not.
    EXPECT_EQ(Usage(kTable), "Usage: probe [options]\n\n"
                             "Options:\n"
                             "  --count N    how many\n"
                             "  --rate HZ    how often,\n"
                             "               evenly\n"
                             "  --timeout S  how long\n"
                             "  --destination X\n"
                             "               where to\n"
                             "\n"
                             "Other:\n"
                             "  --folder DIR\n"
                             "               which folder\n"
                             "  --quiet      no lines\n"
                             "  --version    show the version\n"
                             "  --help       show this text\n"
                             "\nEnd.\n");
}

} // namespace
