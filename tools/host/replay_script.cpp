#include "replay_script.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& value)
{
    if (text.empty() || text[0] == '-')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text.c_str(), &end, 0);
    return *end == '\0' && errno == 0 && value <= max;
}

bool ParseHex(const std::string& text, std::vector<std::uint8_t>& bytes)
{
    if (text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::string pair = text.substr(i, 2);
        char* end = nullptr;
        const unsigned long value = std::strtoul(pair.c_str(), &end, 16);
        if (*end != '\0' || pair[0] == '+' || pair[0] == '-' || pair[0] == ' ')
            return false;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

bool ParseFrame(std::istringstream& words, ReplayStep& step, std::string& reason)
{
    std::string count, hex, option;
    std::uint64_t value = 0;
    if (!(words >> count >> hex)) {
        reason = "frame needs COUNT and HEX";
        return false;
    }
    if (!ParseUnsigned(count, 0xFFFFFFFFu, value)) {
        reason = "COUNT '" + count + "' is not a number from 0 to 4294967295";
        return false;
    }
    step.count = static_cast<std::uint32_t>(value);
    if (hex == "-")
        step.null_stream = true;
    else if (!ParseHex(hex, step.bytes)) {
        reason = "HEX must be pairs of hex digits (or - for a null pointer)";
        return false;
    }
    while (words >> option) {
        char* end = nullptr;
        if (option.rfind("delta=", 0) == 0) {
            step.delta = std::strtod(option.c_str() + 6, &end);
        } else if (option.rfind("arg3=", 0) == 0) {
            step.arg3 = static_cast<std::int32_t>(std::strtol(option.c_str() + 5, &end, 0));
        } else {
            reason = "unknown frame option '" + option + "' (delta=SECONDS or arg3=N)";
            return false;
        }
        if (*end != '\0') {
            reason = "'" + option + "' has no number";
            return false;
        }
    }
    return true;
}

bool ParseLine(const std::string& line, ReplayStep& step, std::string& reason)
{
    std::istringstream words(line);
    std::string verb, extra;
    words >> verb;
    std::uint64_t value = 0;
    if (verb == "version") {
        step.kind = ReplayStep::Kind::Version;
    } else if (verb == "shutdown") {
        step.kind = ReplayStep::Kind::Shutdown;
    } else if (verb == "init") {
        step.kind = ReplayStep::Kind::Init;
        std::string text;
        if (words >> text && !ParseUnsigned(text, ~0ull, step.init_value)) {
            reason = "init VALUE '" + text + "' is not a number";
            return false;
        }
    } else if (verb == "sleep") {
        step.kind = ReplayStep::Kind::Sleep;
        std::string text;
        if (!(words >> text) || !ParseUnsigned(text, 600000, value)) {
            reason = "sleep needs milliseconds (up to 600000)";
            return false;
        }
        step.sleep_ms = static_cast<unsigned>(value);
    } else if (verb == "frame") {
        step.kind = ReplayStep::Kind::Frame;
        return ParseFrame(words, step, reason);
    } else {
        reason = "unknown step '" + verb + "' (version, init, frame, shutdown or sleep)";
        return false;
    }
    if (words >> extra) {
        reason = "unexpected '" + extra + "' after " + verb;
        return false;
    }
    return true;
}

} // namespace

bool ParseReplayScript(std::istream& input, std::vector<ReplayStep>& steps, std::string& error)
{
    std::string line;
    for (int number = 1; std::getline(input, line); ++number) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        ReplayStep step;
        std::string reason;
        if (!ParseLine(line, step, reason)) {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}
