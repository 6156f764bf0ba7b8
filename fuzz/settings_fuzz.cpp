// Fuzzes the settings file reader of both deliverables: any bytes at all must
// give at most eight distinct destinations, and every report must name a line
// of the file (or the whole file).
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    for (SettingsFor program : {SettingsFor::Plugin, SettingsFor::Bridge}) {
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
    return 0;
}
