#include "settings_file.h"

#include "destinations.h"
#include "text_encoding.h"

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

// Without a byte-order mark, ASCII in UTF-16 has a NUL in every other byte.
bool LooksLikeUtf16WithoutMark(const std::string& text)
{
    return text.size() >= 4 && text.find('\0') != std::string::npos && (text[1] == '\0' || text[0] == '\0');
}

// The words of a setting that is on or off: each pair is {on, off}.
bool OnOff(const std::string& value, bool& on)
{
    static const char* const kWords[][2] = {{"on", "off"}, {"true", "false"}, {"yes", "no"}, {"1", "0"}};
    const std::string word = Lower(value);
    for (const auto& pair : kWords) {
        if (word == pair[0] || word == pair[1]) {
            on = word == pair[0];
            return true;
        }
    }
    return false;
}

std::string NotOnOff(const std::string& key, const std::string& value)
{
    return key + " takes on or off (or true/false, yes/no, 1/0), not '" + value + "'";
}

} // namespace

Settings ParseSettings(const std::string& file, SettingsFor program,
                       const std::function<std::vector<Adapter>()>& list_adapters)
{
    Settings settings;
    std::string decoded;
    const bool utf16 = HasUtf16Mark(file);
    if (utf16 && !Utf16ToUtf8(file, decoded)) {
        settings.ignored.push_back({0, "the file cannot be read as UTF-16: save it as UTF-8 "
                                       "(in Notepad: File, Save As, Encoding UTF-8)"});
        return settings;
    }
    if (!utf16 && LooksLikeUtf16WithoutMark(file)) {
        settings.ignored.push_back({0, "the file is UTF-16 text, which is not read: save it as UTF-8 "
                                       "(in Notepad: File, Save As, Encoding UTF-8)"});
        return settings;
    }
    const std::string& text = utf16 ? decoded : file;
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
            settings.left_out += static_cast<int>(left_out.size());
        } else if (key == "log") {
            if (!OnOff(value, settings.log))
                ignore(NotOnOff(key, value));
        } else if (key == "monitor" && program == SettingsFor::Plugin) {
            if (!OnOff(value, settings.monitor))
                ignore(NotOnOff(key, value));
        } else if (key == "monitor") {
            ignore(std::string("monitor is a setting of the Aerofly FS 2 and FS 4 plug-ins; ") +
                   (program == SettingsFor::Bridge ? "the bridge" : "kinemora_xplane") + " has no window");
        } else if (key == "report" && program == SettingsFor::Plugin) {
            if (!OnOff(value, settings.report))
                ignore(NotOnOff(key, value));
        } else if (key == "report") {
            if (value.empty())
                ignore("report wants the file to write, for example report = " +
                       std::string(program == SettingsFor::Bridge ? "kinemora_mfs_2020" : "kinemora_xplane") +
                       ".report.txt");
            else
                settings.report_file = value;
        } else if (key == "xplane" && program == SettingsFor::XPlane) {
            if (value.empty())
                ignore("xplane wants X-Plane's address, for example xplane = 192.168.1.5 or xplane = SIMPC:49000");
            else
                settings.xplane = value;
        } else {
            ignore("unknown key '" + key + "': the keys are " +
                   (program == SettingsFor::Plugin   ? "destination, monitor, log and report"
                    : program == SettingsFor::Bridge ? "destination, log and report"
                                                     : "destination, log, report and xplane"));
        }
    }
    return settings;
}

std::string DescribeSettingsRead(FileRead read, const std::string& path)
{
    switch (read) {
    case FileRead::Read: return "read " + path;
    case FileRead::Missing: return "no file " + path + "; the defaults apply";
    case FileRead::TooLarge:
        return path + " is larger than " + std::to_string(kLargestSettingsFile / 1024) +
               " KB and is not read; the defaults apply: a settings file needs only a few lines, "
               "so check that this is the right file and shorten it";
    default: return "cannot read " + path + "; the defaults apply";
    }
}
