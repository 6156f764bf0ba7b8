// The settings files of both deliverables: every line either applies or is
// reported with its number and why, and nothing in a file stops the rest;
// only a file that cannot be read whole, as UTF-8 or UTF-16, applies nothing.
#include "destinations.h"
#include "files.h"
#include "settings_file.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include <stdlib.h>

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

// UTF-16 code units as bytes, with the byte-order mark first.
std::string Utf16Bytes(const std::u16string& units, bool big_endian)
{
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// CRLF lines, one of them ignored, and comments in three scripts with a
// character beyond the 16-bit plane (a surrogate pair in UTF-16), the last
// one at the very end.
#define KINEMORA_SAMPLE                                                                                   \
    "# R\u00e9glages \u2708 \u30c6\u30b9\u30c8 \U0001F6EB\r\n"                                            \
    "destination = 192.0.2.10:50126\r\nmonitor = Yes\r\nlog = \u00e9\r\ndestination = broadcast\r\n"       \
    "# \U0001F6EB"

} // namespace

TEST(SettingsFile, NoFileAndEmptyFilesMeanTheDefaults)
{
    for (const std::string& text : {std::string(), std::string("\n"), std::string("\r\n"),
                                    std::string("# only a comment\r\n; and another\n   \t\n"),
                                    std::string("\xEF\xBB\xBF"), Utf16Bytes(u"", false), Utf16Bytes(u"", true)}) {
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
        {6, "unknown key 'colour': the keys are destination, monitor, log and report"},
        {7, "log takes on or off (or true/false, yes/no, 1/0), not 'sometimes'"},
        {8, "'300.1.1.1' is not a destination: " + std::string(kDestinationSyntax)},
        {9, "'10.0.0.1:0' has no port from 1 to 65535 after the colon"},
        {11, "holds bytes that are not text"},
        {12, "monitor takes on or off (or true/false, yes/no, 1/0), not 'on # no comments after a value'"},
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

TEST(SettingsFile, OnAndOffHaveTheirSynonymsInAnyCase)
{
    const std::vector<std::pair<std::string, bool>> words = {
        {"on", true},   {"ON", true},   {"true", true},   {"True", true},   {"yes", true}, {"YES", true}, {"1", true},
        {"off", false}, {"Off", false}, {"false", false}, {"FALSE", false}, {"no", false}, {"nO", false}, {"0", false}};
    for (const auto& [word, on] : words) {
        // The line before says the opposite, so that the word alone decides.
        const std::string before = on ? "off" : "on";
        const Settings settings =
            Parse("log = " + before + "\nlog = " + word + "\nmonitor = " + before + "\r\nmonitor = " + word + "\r\n");
        EXPECT_EQ(settings.log, on) << word;
        EXPECT_EQ(settings.monitor, on) << word;
        EXPECT_TRUE(settings.ignored.empty()) << word;
    }
    for (const char* word : {"2", "01", "y", "n", "t", "enabled", "onn", "yes please", "\"on\"", ""}) {
        const Settings settings = Parse(std::string("log = on\nlog = ") + word + "\nmonitor = yes\nmonitor = " + word);
        EXPECT_TRUE(settings.log) << word;
        EXPECT_TRUE(settings.monitor) << word;
        const std::string why = std::string(" takes on or off (or true/false, yes/no, 1/0), not '") + word + "'";
        EXPECT_EQ(Ignored(settings), (std::vector<std::pair<int, std::string>>{{2, "log" + why}, {4, "monitor" + why}}));
    }
}

TEST(SettingsFile, AFileIsReadWholeOrNotAtAll)
{
    char pattern[] = "/tmp/kinemora-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string address = "destination = 192.168.1.12", pad(kLargestSettingsFile - address.size() - 3, 'x');
    const std::vector<std::tuple<const char*, std::string, FileRead, std::vector<std::string>>> cases = {
        {"exactly 64 KB", address + "\n#" + pad + "\n", FileRead::Read, {"192.168.1.12:50010"}},
        {"a byte more, the good line first", address + "\n#" + pad + "x\n", FileRead::TooLarge, {}},
        {"a byte more, the first 64 KB ending in 192.168.1.1", "#" + pad + "xx\n" + address, FileRead::TooLarge, {}},
    };
    for (const auto& [what, bytes, read, destinations] : cases) {
        SCOPED_TRACE(what);
        std::ofstream(folder + "/k.ini", std::ios::binary) << bytes;
        std::string text = "left from before";
        EXPECT_EQ(ReadFileText(folder + "/k.ini", kLargestSettingsFile, text), read);
        EXPECT_EQ(text.size(), read == FileRead::Read ? kLargestSettingsFile : 0u);
        EXPECT_EQ(Texts(Parse(text).destinations), destinations);
    }
    // A folder opens, but reading it fails.
    std::string text = "left from before";
    EXPECT_EQ(ReadFileText(folder, kLargestSettingsFile, text), FileRead::Failed);
    EXPECT_EQ(text, "");
    EXPECT_EQ(DescribeSettingsRead(FileRead::Failed, "k.ini"), "cannot read k.ini; the defaults apply");
    EXPECT_EQ(DescribeSettingsRead(FileRead::TooLarge, "k.ini"),
              "k.ini is larger than 64 KB and is not read; the defaults apply: a settings file needs only a few "
              "lines, so check that this is the right file and shorten it");
}

TEST(SettingsFile, UTF16WithAByteOrderMarkMeansWhatTheUTF8Means)
{
    const std::string utf8 = KINEMORA_SAMPLE;
    const Settings expected = Parse(utf8);
    ASSERT_EQ(Texts(expected.destinations), (std::vector<std::string>{"192.0.2.10:50126", "255.255.255.255:50010"}));
    ASSERT_TRUE(expected.monitor);
    ASSERT_EQ(Ignored(expected), (std::vector<std::pair<int, std::string>>{
                                     {4, "log takes on or off (or true/false, yes/no, 1/0), not '\u00e9'"}}));
    for (bool big_endian : {false, true}) {
        SCOPED_TRACE(big_endian ? "big-endian" : "little-endian");
        const std::string bytes = Utf16Bytes(u"" KINEMORA_SAMPLE, big_endian);
        std::string decoded;
        EXPECT_TRUE(Utf16ToUtf8(bytes, decoded));
        EXPECT_EQ(decoded, utf8);
        const Settings settings = Parse(bytes);
        EXPECT_EQ(Texts(settings.destinations), Texts(expected.destinations));
        EXPECT_EQ(settings.monitor, expected.monitor);
        EXPECT_EQ(Ignored(settings), Ignored(expected));
    }
}

TEST(SettingsFile, UTF16WithoutAMarkOrNotWholeIsRefusedAndNothingApplies)
{
    const std::string unmarked = "the file is UTF-16 text, which is not read: save it as UTF-8 "
                                 "(in Notepad: File, Save As, Encoding UTF-8)";
    const std::string broken = "the file cannot be read as UTF-16: save it as UTF-8 "
                               "(in Notepad: File, Save As, Encoding UTF-8)";
    const std::u16string log_on = u"log = on\r\n";
    const std::vector<std::tuple<const char*, std::string, std::string>> cases = {
        {"little-endian without a mark", std::string("l\0o\0g\0 \0=\0 \0o\0n\0", 16), unmarked},
        {"big-endian without a mark", std::string("\0l\0o\0g\0=\0" "1", 10), unmarked},
        {"a high surrogate at the end", Utf16Bytes(log_on + u'\xD83D', false), broken},
        {"a high surrogate before a letter", Utf16Bytes(log_on + u'\xD83D' + u"x", true), broken},
        {"two high surrogates", Utf16Bytes(log_on + u'\xD83D' + u'\xD83D' + u'\xDEEB', false), broken},
        {"a low surrogate alone", Utf16Bytes(log_on + u'\xDEEB' + u"\r\n", true), broken},
        {"an odd number of bytes", Utf16Bytes(log_on, false) + "x", broken},
    };
    for (const auto& [what, bytes, why] : cases) {
        SCOPED_TRACE(what);
        const Settings settings = Parse(bytes);
        EXPECT_FALSE(settings.log);
        EXPECT_EQ(Ignored(settings), (std::vector<std::pair<int, std::string>>{{0, why}}));
    }
}

TEST(SettingsFile, TheBridgeHasNoMonitor)
{
    const Settings settings = Parse("monitor = on\nlog = off\nwindow = on\n", SettingsFor::Bridge);
    EXPECT_FALSE(settings.monitor);
    EXPECT_EQ(Ignored(settings), (std::vector<std::pair<int, std::string>>{
                                     {1, "monitor is a setting of the Aerofly FS 2 and FS 4 plug-ins; the bridge "
                                         "has no window"},
                                     {3, "unknown key 'window': the keys are destination, log and report"}}));
}

// The samples in the release zip: as shipped (every line a comment) and with
// every setting line uncommented, they mean exactly the defaults.
TEST(SettingsFile, TheSamplesSpellOutTheDefaults)
{
    for (const auto& [name, program] : {std::pair{"kinemora_aerofly_fs_2.ini", SettingsFor::Plugin},
                                        std::pair{"kinemora_mfs_2020.ini", SettingsFor::Bridge},
                                        std::pair{"kinemora_xplane.ini", SettingsFor::XPlane}}) {
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
        EXPECT_EQ(settings_lines, program == SettingsFor::Plugin ? 4 : 2);
        const Settings defaults = Parse(uncommented, program);
        EXPECT_EQ(Ignored(defaults), (std::vector<std::pair<int, std::string>>{}));
        EXPECT_EQ(Texts(defaults.destinations), (std::vector<std::string>{"255.255.255.255:50010"}));
        EXPECT_FALSE(defaults.monitor);
        EXPECT_FALSE(defaults.log || defaults.report);
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
    // With none up, 255.255.255.255 on the port asked for stands in.
    const Settings none = Parse("destination = adapters:50140\n");
    EXPECT_EQ(Texts(none.destinations), (std::vector<std::string>{"255.255.255.255:50140"}));
    EXPECT_EQ(none.notes,
              (std::vector<std::string>{"adapters: no IPv4 adapter that is up and has a broadcast address; sending "
                                        "to 255.255.255.255:50140 until one is found (looked for every 5 s)"}));
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
