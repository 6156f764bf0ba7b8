#include "settings_file.h"

#include "destinations.h"

#include <cctype>

namespace {

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Control characters other than tab, and NUL, are not text.
bool IsText(const std::string& line)
{
    for (unsigned char c : line) {
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return false;
    }
    return true;
}

bool LooksLikeUtf16(const std::string& text)
{
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF')))
        return true;
    // Without a byte-order mark, ASCII in UTF-16 has a NUL in every other byte.
    return text.size() >= 4 && text.find('\0') != std::string::npos &&
           (text[1] == '\0' || text[0] == '\0');
}

bool OnOff(const std::string& value, bool& on)
{
    const std::string word = Lower(value);
    if (word != "on" && word != "off")
        return false;
    on = word == "on";
    return true;
}

} // namespace

Settings ParseSettings(const std::string& text, SettingsFor program,
                       const std::function<std::vector<Adapter>()>& list_adapters)
{
    Settings settings;
    if (LooksLikeUtf16(text)) {
        settings.ignored.push_back({0, "the file is UTF-16 text, which is not read: save it as UTF-8 "
                                       "(in Notepad: File, Save As, Encoding UTF-8)"});
        return settings;
    }
    // The adapters are asked for once, however many lines name them.
    bool listed = false;
    std::vector<Adapter> adapters;
    auto adapters_once = [&]() {
        if (!listed)
            adapters = list_adapters();
        listed = true;
        return adapters;
    };

    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; start <= text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        auto ignore = [&](const std::string& why) { settings.ignored.push_back({number, why}); };

        if (line.size() > kLongestSettingsLine) {
            ignore("longer than 512 characters");
            continue;
        }
        if (!IsText(line)) {
            ignore("holds bytes that are not text");
            continue;
        }
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#' || trimmed[0] == ';')
            continue;
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string::npos) {
            ignore("no '=': write key = value, for example destination = broadcast");
            continue;
        }
        const std::string key = Lower(Trim(trimmed.substr(0, equals)));
        const std::string value = Trim(trimmed.substr(equals + 1));
        if (key == "destination") {
            std::vector<Destination> found;
            std::string error;
            if (!ParseDestination(value, adapters_once, found, settings.notes, error)) {
                ignore(error);
                continue;
            }
            std::vector<std::string> left_out;
            AddDestinations(settings.destinations, found, left_out);
            for (const std::string& what : left_out)
                settings.notes.push_back("line " + std::to_string(number) + ": " + what);
        } else if (key == "log") {
            if (!OnOff(value, settings.log))
                ignore("log takes on or off, not '" + value + "'");
        } else if (key == "monitor" && program == SettingsFor::Plugin) {
            if (!OnOff(value, settings.monitor))
                ignore("monitor takes on or off, not '" + value + "'");
        } else if (key == "monitor") {
            ignore("monitor is a setting of the Aerofly FS 2 plug-in; the bridge has no window");
        } else {
            ignore("unknown key '" + key + "': the keys are " +
                   (program == SettingsFor::Plugin ? "destination, monitor and log" : "destination and log"));
        }
    }
    return settings;
}

std::string DescribeSettingsRead(FileRead read, const std::string& path)
{
    switch (read) {
    case FileRead::Read: return "read " + path;
    case FileRead::Missing: return "no file " + path + "; the defaults apply";
    default: return "cannot read " + path + "; the defaults apply";
    }
}
