// The settings files of both deliverables: every line either applies or is
// reported with its number and why, and nothing in a file stops the rest.
#include "destinations.h"
#include "settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<Adapter> NoAdapters()
{
    return {};
}

// eth0 192.0.2.10/24, wlan0 10.1.2.3/16, a VPN's /32 and a /31 link.
std::vector<Adapter> SomeAdapters()
{
    return {{"eth0", 0xC000020Au, 0xFFFFFF00u},
            {"wlan0", 0x0A010203u, 0xFFFF0000u},
            {"vpn0", 0x0A080005u, 0xFFFFFFFFu},
            {"link0", 0xAC100001u, 0xFFFFFFFEu}};
}

std::vector<std::string> Texts(const std::vector<Destination>& destinations)
{
    std::vector<std::string> texts;
    for (const Destination& d : destinations) {
        char text[22];
        FormatDestination(d, text);
        texts.push_back(text);
    }
    return texts;
}

Settings Parse(const std::string& text, SettingsFor program = SettingsFor::Plugin,
               std::vector<Adapter> (*adapters)() = NoAdapters)
{
    return ParseSettings(text, program, adapters);
}

std::vector<std::pair<int, std::string>> Ignored(const Settings& settings)
{
    std::vector<std::pair<int, std::string>> lines;
    for (const IgnoredLine& line : settings.ignored)
        lines.emplace_back(line.line, line.why);
    return lines;
}

} // namespace

TEST(SettingsFile, NoFileAndEmptyFilesMeanTheDefaults)
{
    for (const char* text : {"", "\n", "\r\n", "# only a comment\r\n; and another\n   \t\n", "\xEF\xBB\xBF"}) {
        const Settings settings = Parse(text);
        EXPECT_TRUE(settings.destinations.empty()) << text;
        EXPECT_FALSE(settings.monitor);
        EXPECT_FALSE(settings.log);
        EXPECT_TRUE(settings.ignored.empty()) << text;
    }
}

TEST(SettingsFile, JunkLinesAreReportedAndEveryOtherLineApplies)
{
    const std::string text = "\xEF\xBB\xBF# Kinemora\r\n"
                             "destination = 192.0.2.10:50126\r\n"
                             "  ; a comment after blanks\r\n"
                             "\r\n"
                             "this line has no equals sign\r\n"
                             "colour = blue\r\n"
                             "log = sometimes\r\n"
                             "destination = 300.1.1.1\r\n"
                             "destination = 10.0.0.1:0\r\n"
                             "LOG = ON\r\n"
                             "bell\x07 = on\r\n"
                             "monitor = on # no comments after a value\r\n"
                             "Monitor=Off\n" +
                             std::string("destination = ") + std::string(600, '1') + "\n" +
                             "Destination\t=\tBROADCAST:50127";
    const Settings settings = Parse(text);
    EXPECT_EQ(Texts(settings.destinations), (std::vector<std::string>{"192.0.2.10:50126", "255.255.255.255:50127"}));
    EXPECT_TRUE(settings.log);
    EXPECT_FALSE(settings.monitor);
    const std::vector<std::pair<int, std::string>> expected = {
        {5, "no '=': write key = value, for example destination = broadcast"},
        {6, "unknown key 'colour': the keys are destination, monitor and log"},
        {7, "log takes on or off, not 'sometimes'"},
        {8, "'300.1.1.1' is not a destination: " + std::string(kDestinationSyntax)},
        {9, "'10.0.0.1:0' has no port from 1 to 65535 after the colon"},
        {11, "holds bytes that are not text"},
        {12, "monitor takes on or off, not 'on # no comments after a value'"},
        {14, "longer than 512 characters"},
    };
    EXPECT_EQ(Ignored(settings), expected);
}

TEST(SettingsFile, ALineOfExactly512CharactersStillCounts)
{
    const std::string line = "log = on" + std::string(504, ' ');
    ASSERT_EQ(line.size(), 512u);
    EXPECT_TRUE(Parse(line + "\r\n").log);
    EXPECT_FALSE(Parse(line + " \r\n").log);
}

TEST(SettingsFile, UTF16IsReportedAsSuchAndNothingApplies)
{
    const std::string utf16le("\xFF\xFEl\0o\0g\0 \0=\0 \0o\0n\0", 18);
    const std::string utf16be("\xFE\xFF\0l\0o\0g", 8);
    const std::string no_mark("l\0o\0g\0 \0=\0 \0o\0n\0", 16);
    for (const std::string& text : {utf16le, utf16be, no_mark}) {
        const Settings settings = Parse(text);
        EXPECT_FALSE(settings.log);
        ASSERT_EQ(settings.ignored.size(), 1u);
        EXPECT_EQ(settings.ignored[0].line, 0);
        EXPECT_EQ(settings.ignored[0].why.rfind("the file is UTF-16 text", 0), 0u);
    }
}

TEST(SettingsFile, TheBridgeHasNoMonitor)
{
    const Settings settings = Parse("monitor = on\nlog = off\nwindow = on\n", SettingsFor::Bridge);
    EXPECT_FALSE(settings.monitor);
    EXPECT_EQ(Ignored(settings), (std::vector<std::pair<int, std::string>>{
                                     {1, "monitor is a setting of the Aerofly FS 2 plug-in; the bridge has no window"},
                                     {3, "unknown key 'window': the keys are destination and log"}}));
}

// The samples in the release zip: as shipped (every line a comment) and with
// every setting line uncommented, they mean exactly the defaults.
TEST(SettingsFile, TheSamplesSpellOutTheDefaults)
{
    for (const auto& [name, program] : {std::pair{"kinemora_aerofly_fs_2.ini", SettingsFor::Plugin},
                                        std::pair{"kinemora_mfs_2020.ini", SettingsFor::Bridge}}) {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(KINEMORA_SAMPLES_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(file) << "the sample is missing";
        const std::string shipped{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        ASSERT_NE(shipped.find("\r\n"), std::string::npos);
        EXPECT_EQ(shipped.find('\n'), shipped.find("\r\n") + 1) << "every line ends in CRLF";
        const Settings as_shipped = Parse(shipped, program);
        EXPECT_TRUE(as_shipped.ignored.empty());
        EXPECT_TRUE(as_shipped.destinations.empty());

        // A setting line is a comment of the form ";key = value".
        std::string uncommented;
        int settings_lines = 0;
        for (std::size_t at = 0; at < shipped.size();) {
            const std::size_t end = shipped.find('\n', at) + 1;
            std::string line = shipped.substr(at, end - at);
            if (line.size() > 1 && line[0] == ';' && line[1] != ' ' && line[1] != '\r') {
                line.erase(0, 1);
                ++settings_lines;
            }
            uncommented += line;
            at = end;
        }
        EXPECT_EQ(settings_lines, program == SettingsFor::Plugin ? 3 : 2);
        const Settings defaults = Parse(uncommented, program);
        EXPECT_EQ(Ignored(defaults), (std::vector<std::pair<int, std::string>>{}));
        EXPECT_EQ(Texts(defaults.destinations), (std::vector<std::string>{"255.255.255.255:50010"}));
        EXPECT_FALSE(defaults.monitor);
        EXPECT_FALSE(defaults.log);
    }
}

TEST(Destinations, EveryFormAndItsPort)
{
    const Settings settings = Parse("destination = 192.168.1.255\n"
                                    "destination = 10.0.0.7:50123\n"
                                    "destination = broadcast\n"
                                    "destination = Broadcast:1\n"
                                    "destination = 010.000.000.008:65535\n");
    EXPECT_EQ(Texts(settings.destinations),
              (std::vector<std::string>{"192.168.1.255:50010", "10.0.0.7:50123", "255.255.255.255:50010",
                                        "255.255.255.255:1", "10.0.0.8:65535"}));
    EXPECT_TRUE(settings.ignored.empty());
}

TEST(Destinations, WhatIsNotADestination)
{
    for (const char* value : {"", "1.2.3", "1.2.3.4.5", "1.2.3.256", "a.b.c.d", "1.2.3.4:", "1.2.3.4:65536",
                              "1.2.3.4:-1", "1.2.3.4:5x", "0.0.0.0", "0.0.0.0:50010", "broadcasts", "localhost",
                              " 1.2.3.4", "1.2.3.4 :5", "1..2.3", "1.2.3.4:50010:1", "2001:db8::1"}) {
        std::vector<Destination> found;
        std::vector<std::string> notes;
        std::string error;
        EXPECT_FALSE(ParseDestination(value, NoAdapters, found, notes, error)) << value;
        EXPECT_FALSE(error.empty());
    }
}

TEST(Destinations, AdaptersAreEveryBroadcastAddressButPointToPointLinks)
{
    const Settings settings = Parse("destination = adapters:50123\n", SettingsFor::Bridge, SomeAdapters);
    EXPECT_EQ(Texts(settings.destinations), (std::vector<std::string>{"192.0.2.255:50123", "10.1.255.255:50123"}));
    EXPECT_EQ(settings.notes,
              (std::vector<std::string>{
                  "adapter 'eth0' 192.0.2.10 mask 255.255.255.0: broadcast address 192.0.2.255",
                  "adapter 'wlan0' 10.1.2.3 mask 255.255.0.0: broadcast address 10.1.255.255",
                  "adapter 'vpn0' 10.8.0.5 is a point-to-point link (a /31 or /32): no broadcast address",
                  "adapter 'link0' 172.16.0.1 is a point-to-point link (a /31 or /32): no broadcast address"}));
    EXPECT_EQ(Parse("destination = adapters\n").notes,
              (std::vector<std::string>{"adapters: no IPv4 adapter that is up and has a broadcast address"}));
}

TEST(Destinations, RepeatsCountOnceAfterResolutionAndEightAtMost)
{
    std::string text = "destination = adapters\n"          // 192.0.2.255, 10.1.255.255
                       "destination = 192.0.2.255:50010\n" // the same as the first
                       "destination = BROADCAST\n"
                       "destination = 255.255.255.255\n";   // the same as broadcast
    for (int host = 1; host <= 6; ++host)
        text += "destination = 192.0.2." + std::to_string(host) + "\n";
    const Settings settings = Parse(text, SettingsFor::Plugin, SomeAdapters);
    EXPECT_EQ(Texts(settings.destinations),
              (std::vector<std::string>{"192.0.2.255:50010", "10.1.255.255:50010", "255.255.255.255:50010",
                                        "192.0.2.1:50010", "192.0.2.2:50010", "192.0.2.3:50010",
                                        "192.0.2.4:50010", "192.0.2.5:50010"}));
    const std::vector<std::string> left = {settings.notes.end() - 1, settings.notes.end()};
    EXPECT_EQ(left, (std::vector<std::string>{"line 10: 192.0.2.6:50010 left out: at most 8 destinations"}));
}

TEST(Destinations, AdaptersAreListedOnlyWhenAskedForAndOnce)
{
    static int listed = 0;
    auto counting = []() {
        ++listed;
        return SomeAdapters();
    };
    listed = 0;
    ParseSettings("destination = broadcast\nlog = on\n", SettingsFor::Plugin, counting);
    EXPECT_EQ(listed, 0);
    ParseSettings("destination = adapters\ndestination = adapters:50123\n", SettingsFor::Plugin, counting);
    EXPECT_EQ(listed, 1);
}
