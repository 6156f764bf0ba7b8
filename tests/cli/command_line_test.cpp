// The table every program reads its command line with: strict numbers in
// range, each mistake in one line, every value into its field, and the
// usage's option list.
#include "command_line.h"
#include "read_command_line.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

struct Probe {
    unsigned long long count = 0;
    double rate = 0.0;
    double timeout = 0.0;
    bool quiet = false;
    std::vector<std::string> texts; // --destination and --folder, in the order they were applied
    std::vector<std::string> plain;
};

bool Note(Probe& probe, const cli::Value& value)
{
    probe.texts.push_back(value.text);
    return true;
}

const cli::Option<Probe> kOptions[] = {
    {cli::Heading("Options:")},
    {cli::Integer("--count", "N", "a whole number", 1, cli::kNoLimit, "how many"), cli::Set<&Probe::count>},
    {cli::Decimal("--rate", "HZ", "datagrams per second", 0.5, 1000, "how often,\nevenly"), cli::Set<&Probe::rate>},
    {cli::DecimalAbove("--timeout", "S", "seconds", 0, 60, "how long"), cli::Set<&Probe::timeout>},
    {cli::RepeatedText("--destination", "X", "where to"), Note},
    {cli::Heading("Other:")},
    {cli::Text("--folder", "DIR", "which folder"), Note},
    {cli::Switch("--quiet", "no lines"), cli::Set<&Probe::quiet>},
};

void Plain(Probe& probe, const std::string& argument)
{
    probe.plain.push_back(argument);
}

const cli::Table<Probe> kTable = {"probe", "Usage: probe [options]\n\n", kOptions, std::size(kOptions), "\nEnd.\n", 15, 1, Plain};

Probe probe;

// The one-line mistake for these arguments, or "" when they were read into probe.
std::string MistakeFor(const std::vector<std::string>& arguments)
{
    std::string error;
    cli::Parse(kTable, arguments, probe = Probe(), error);
    return error;
}

TEST(CommandLine, NumbersAreReadWholeAndInRange)
{
    const std::pair<const char*, double> good[] = {{"1", 1}, {"007", 7}, {"18446744073709551615", 18446744073709551615.0}};
    for (const auto& [text, value] : good) {
        ASSERT_EQ(MistakeFor({"--count", text}), "");
        EXPECT_EQ(static_cast<double>(probe.count), value) << text;
    }
    for (const auto& [text, value] :
         {std::pair{"0.5", 0.5}, {"1000", 1000.0}, {"+2.5e2", 250.0}, {"2.5e+1", 25.0}, {"5e-1", 0.5}, {".5", 0.5},
          {"5.", 5.0}}) {
        ASSERT_EQ(MistakeFor({"--rate", text}), "");
        EXPECT_EQ(probe.rate, value) << text;
    }

    for (const char* text : {"0", "-1", "+1", "1.0", "1e2", " 1", "1 ", "", "18446744073709551616"})
        EXPECT_EQ(MistakeFor({"--count", text}), "--count wants a whole number of at least 1, not '" + std::string(text) + "'");
    for (const char* text : {"0.49", "1000.01", "1,5", "0x10", "inf", "nan", "1e999", "1e", ".", "-", ""})
        EXPECT_EQ(MistakeFor({"--rate", text}),
                  "--rate wants datagrams per second from 0.5 to 1000, not '" + std::string(text) + "'");
    EXPECT_EQ(MistakeFor({"--timeout", "0"}), "--timeout wants seconds above 0, at most 60, not '0'");
    EXPECT_EQ(MistakeFor({"--timeout", "60"}), "");
}

TEST(CommandLine, EachMistakeInOneLineAndTheFirstIsTold)
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
    EXPECT_EQ(OutcomeOf(kTable, {"--bogus", "/?"}), cli::Outcome::Help);
    EXPECT_EQ(OutcomeOf(kTable, {"--rate", "0", "--version"}), cli::Outcome::Version);
}

TEST(CommandLine, RepeatsKeepEveryValueAndOthersTheLast)
{
    EXPECT_EQ(MistakeFor({"--folder", "a", "--destination", "x", "-", "--destination", "y", "--folder", "--help"}), "");
    // Every --destination; --folder once, where it was given last; a value may look like an option.
    EXPECT_EQ(probe.texts, (std::vector<std::string>{"x", "y", "--help"}));
    EXPECT_EQ(probe.plain, (std::vector<std::string>{"-"}));
}

TEST(CommandLine, TheUsageListsEveryOptionFromTheTable)
{
    // The column is 15: "--timeout S" just fits, with two spaces; "--folder DIR" does not.
    EXPECT_EQ(cli::Usage(kTable), "Usage: probe [options]\n\n"
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
