#pragma once

// A deliverable's settings file: "key = value" lines (destination, log,
// report, and the plug-in's monitor), UTF-8 or UTF-16 with a byte-order mark, LF or CRLF;
// '#' or ';' starts a comment. A line that cannot be used is ignored and
// reported; a file that cannot be read whole applies nothing, since a line
// cut short could name another address.

#include "adapters.h"
#include "destination.h"
#include "files.h"

#include <functional>
#include <string>
#include <vector>

enum class SettingsFor { Plugin, Bridge, XPlane };

struct IgnoredLine {
    int line = 0; // 0: the whole file
    std::string why;
};

struct Settings {
    std::vector<Destination> destinations; // empty when no destination line applies
    bool monitor = false;
    bool log = false;
    bool report = false;     // the plug-in: report = on
    std::string report_file; // the relays: report = FILE, beside the program unless a full path
    std::string xplane;      // kinemora_xplane: xplane = HOST[:PORT], as written
    std::vector<IgnoredLine> ignored;
    std::vector<std::string> notes; // what "adapters" found, destinations left out
    int left_out = 0;               // destinations left out: more than the file may name

    // An ignored line or a destination left out: what a user must hear of.
    bool HasMistakes() const { return !ignored.empty() || left_out > 0; }
};

// The longest line that counts, in bytes, without its line end.
constexpr std::size_t kLongestSettingsLine = 512;

// More than any settings file needs; a larger file is not read at all.
constexpr std::size_t kLargestSettingsFile = 64 * 1024;

// For the log: "read PATH", or that the defaults apply and why.
std::string DescribeSettingsRead(FileRead read, const std::string& path);

// Reads the bytes of a settings file. The adapters are listed only when a
// destination asks for them.
Settings ParseSettings(const std::string& text, SettingsFor program,
                       const std::function<std::vector<Adapter>()>& list_adapters);
