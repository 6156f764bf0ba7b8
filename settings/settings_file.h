#pragma once

// The settings file of a deliverable: kinemora_aerofly_fs_2.ini beside the
// plug-in, kinemora_mfs_2020.ini beside the bridge. Plain text, one
// "key = value" per line, LF or CRLF; a line whose first non-blank character
// is '#' or ';' is a comment; blank lines are skipped. The text is UTF-8 (a
// byte-order mark is skipped) or UTF-16 with a byte-order mark, little- or
// big-endian, as Notepad saves "Unicode"; UTF-16 without a mark, or with a
// surrogate out of its pair, is refused whole. Keys and the words on, off,
// true, false, yes, no, broadcast and adapters are case-insensitive. A line
// that cannot be used (an unknown key, a bad value, no '=', bytes that are not
// text, over 512 bytes) is ignored and reported; every other line applies.
// A file that cannot be read whole, or is over kLargestSettingsFile, applies
// nothing: a line cut short could name another address.
//
//   destination = A.B.C.D[:PORT] | broadcast[:PORT] | adapters[:PORT]   (may repeat)
//   monitor = on | off     (the plug-in only; also true | false, yes | no, 1 | 0)
//   log = on | off         (also true | false, yes | no, 1 | 0)

#include "adapters.h"
#include "destination.h"
#include "files.h"

#include <functional>
#include <string>
#include <vector>

enum class SettingsFor { Plugin, Bridge };

struct IgnoredLine {
    int line = 0; // 0: the whole file
    std::string why;
};

struct Settings {
    std::vector<Destination> destinations; // empty when no destination line applies
    bool monitor = false;
    bool log = false;
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
