// Fuzzes the settings file reader of both deliverables: any bytes at all must
// give at most eight distinct destinations, and every report must name a line
// of the file (or the whole file). The same bytes are also read after a UTF-16
// byte-order mark, and text without NUL and non-ASCII bytes must mean the same
// in UTF-16 as it does in UTF-8.
#include "settings_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<Adapter> Adapters()
{
    return {{"eth0", 0xC000020Au, 0xFFFFFF00u}, {"vpn0", 0x0A080005u, 0xFFFFFFFFu}};
}

void CheckSettings(const std::string& text, int lines, SettingsFor program)
{
    const Settings settings = ParseSettings(text, program, Adapters);
    Require(settings.destinations.size() <= 8);
    for (std::size_t i = 0; i < settings.destinations.size(); ++i) {
        for (std::size_t j = i + 1; j < settings.destinations.size(); ++j)
            Require(!(settings.destinations[i] == settings.destinations[j]));
    }
    for (const IgnoredLine& ignored : settings.ignored)
        Require(ignored.line >= 0 && ignored.line <= lines && !ignored.why.empty());
    Require(program == SettingsFor::Plugin || !settings.monitor);
}

bool SameSettings(const Settings& a, const Settings& b)
{
    if (a.destinations.size() != b.destinations.size() || a.ignored.size() != b.ignored.size())
        return false;
    for (std::size_t i = 0; i < a.destinations.size(); ++i) {
        if (!(a.destinations[i] == b.destinations[i]))
            return false;
    }
    for (std::size_t i = 0; i < a.ignored.size(); ++i) {
        if (a.ignored[i].line != b.ignored[i].line || a.ignored[i].why != b.ignored[i].why)
            return false;
    }
    return a.monitor == b.monitor && a.log == b.log && a.notes == b.notes;
}

// ASCII text as UTF-16 with its byte-order mark.
std::string Widened(const std::string& ascii, bool big_endian)
{
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
        bytes += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    // A 0x0A byte ends a line in UTF-8, and in UTF-16 no more lines than that.
    for (SettingsFor program : {SettingsFor::Plugin, SettingsFor::Bridge}) {
        CheckSettings(text, lines, program);
        CheckSettings("\xFF\xFE" + text, lines, program);
        CheckSettings("\xFE\xFF" + text, lines, program);
    }
    bool plain = true;
    for (char c : text)
        plain = plain && c != '\0' && static_cast<unsigned char>(c) < 0x80;
    if (plain) {
        const Settings utf8 = ParseSettings(text, SettingsFor::Plugin, Adapters);
        Require(SameSettings(utf8, ParseSettings(Widened(text, false), SettingsFor::Plugin, Adapters)));
        Require(SameSettings(utf8, ParseSettings(Widened(text, true), SettingsFor::Plugin, Adapters)));
    }
    return 0;
}
