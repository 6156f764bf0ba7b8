// What the program prints besides datagrams: the field table, the help and
// the status lines.
#include "signal_test_support.h"
#include "signal_options.h"
#include "signal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SignalText, TheAxesTableHasEveryFieldOfBothFormatsWithUnitAndBothBounds)
{
    const std::string table = AxesTable();
    for (SignalFormat format : {SignalFormat::K01, SignalFormat::K2}) {
        std::size_t count = 0;
        const SignalField* fields = SignalFieldsOf(format, count);
        EXPECT_EQ(count, format == SignalFormat::K01 ? 9u : 12u);
        const std::size_t section = table.find(std::string(FormatName(format)) + " (--format");
        ASSERT_NE(section, std::string::npos);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t row = table.find("  " + std::string(fields[i].name) + " ", section);
            ASSERT_NE(row, std::string::npos) << fields[i].name;
            const std::string line = table.substr(row, table.find('\n', row) - row);
            EXPECT_NE(line.find(std::string(" ") + fields[i].unit + " "), std::string::npos) << line;
            EXPECT_NE(line.find(std::string(" ") + fields[i].gentle_text + " "), std::string::npos) << line;
            EXPECT_NE(line.find(std::string(" ") + fields[i].extreme_text + " "), std::string::npos) << line;
            EXPECT_NE(line.find(fields[i].meaning), std::string::npos) << line;
        }
    }
    EXPECT_NE(table.find("kinemora-listen --live"), std::string::npos);
    EXPECT_NE(table.find("simulator's own"), std::string::npos);
}

TEST(SignalText, TheHelpShowsTheSignsTheStopAndAnExample)
{
    const std::string usage = cli::Usage(kSignalCommandLine);
    EXPECT_NE(usage.find("kinemora-signal --axis pitch --amplitude 0.1 --period 4"), std::string::npos);
    EXPECT_NE(usage.find("kinemora-listen --live"), std::string::npos);
    EXPECT_NE(usage.find("A second Ctrl+C\nshortens the way down to at most 0.25 s; only --ramp 0 jumps to 0."),
              std::string::npos);
    EXPECT_NE(usage.find("Ctrl+Break, closing the window, logging off and shutting down"), std::string::npos);
    for (const char* option : {"--format", "--axis", "--shape", "--amplitude", "--period", "--offset", "--rate",
                               "--duration", "--ramp", "--force", "--destination", "--quiet", "--list-axes"})
        EXPECT_NE(usage.find(std::string("  ") + option), std::string::npos) << option;
}

TEST(SignalText, StatusLinesCountDownWithADurationAndUpWithout)
{
    SignalOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--axis", "pitch", "--amplitude", "0.1", "--duration", "30"}, options, error)) << error;
    EXPECT_EQ(StatusLine(options.signal, 5.0, 301), "5 s, 301 datagrams, 25 s to go before the soft stop");
    EXPECT_EQ(StatusLine(options.signal, 30.75, 1846), "31 s, 1846 datagrams, stopping");
    options.signal.duration = 0.0;
    EXPECT_EQ(StatusLine(options.signal, 10.0, 601), "10 s, 601 datagrams (Ctrl+C to stop)");
    EXPECT_EQ(DescribeSignal(options.signal),
              "K01 pitch: sine, amplitude 0.1 rad, period 4 s, offset 0 rad, 60 datagrams a second, soft start and "
              "stop over 1 s");
}

TEST(SignalText, WhatEachRequestToStopDoesIsSaid)
{
    SignalOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--axis", "pitch", "--amplitude", "0.1"}, options, error)) << error;
    struct Case {
        StopEvent event;
        int requests;
        double longest;
        const char* line;
    };
    const Case cases[] = {
        {StopEvent::CtrlC, 1, 1,
         "Ctrl+C: ramping pitch down to 0 over at most 1 s, then one datagram of zeros (Ctrl+C again makes it at "
         "most 0.25 s)"},
        {StopEvent::CtrlC, 2, 0.25,
         "Ctrl+C again: ramping pitch down to 0 over at most 0.25 s, then one datagram of zeros"},
        {StopEvent::ConsoleClose, 1, 3,
         "the console window is closing: ramping pitch down to 0 over at most 3 s, then one datagram of zeros"},
        {StopEvent::Terminate, 1, 0, "SIGTERM: sending one datagram of zeros, then ending"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StopLine(c.event, c.requests, options.signal, c.longest), c.line);
}

} // namespace
