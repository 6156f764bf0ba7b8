#include "record_log.h"

#include "little_endian.h"
#include "simconnect_records.h"

#include <algorithm>
#include <cstdio>

namespace {

// The name ends at its first zero, after 256 bytes, or at the record's end.
std::string ApplicationName(const unsigned char* record, std::size_t size)
{
    std::string name;
    const std::size_t end = std::min(size, kOpenApplicationVersionOffset);
    for (std::size_t i = kOpenNameOffset; i < end && record[i] != 0; ++i) {
        if (record[i] >= 0x20 && record[i] < 0x7F && record[i] != '\\') {
            name += static_cast<char>(record[i]);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", record[i]);
            name += escaped;
        }
    }
    return name.empty() ? "(no name)" : name;
}

// Major.minor.build major.build minor.
std::string Version(const unsigned char* at)
{
    return std::to_string(LoadU32(at)) + "." + std::to_string(LoadU32(at + 4)) + "." +
           std::to_string(LoadU32(at + 8)) + "." + std::to_string(LoadU32(at + 12));
}

std::string DescribeOpen(const unsigned char* record, std::size_t size)
{
    const std::string name = ApplicationName(record, size);
    std::string line = "simulator: " + name;
    if (size < kOpenSimConnectVersionOffset + 16)
        line += " (its open record is only " + std::to_string(size) + " bytes: no versions in it)";
    else
        line += " " + Version(record + kOpenApplicationVersionOffset) + ", SimConnect " +
                Version(record + kOpenSimConnectVersionOffset);
    // Names the simulators give, as developers report them.
    if (name == "KittyHawk")
        line += " (developers report this name for MSFS 2020)";
    else if (name == "SunRise")
        line += " (developers report this name for MSFS 2024)";
    return line;
}

std::string DescribeException(const unsigned char* record, std::size_t size)
{
    const std::string next = "; the bridge goes on, but its datagrams may lack what that call asked for: note the "
                             "simulator's version (the \"simulator:\" line of this connection) and report both lines";
    if (size < kExceptionRecordSize)
        return "simulator exception: its record is only " + std::to_string(size) +
               " bytes, too short for its numbers" + next;
    const unsigned char* at = record + kExceptionNumberOffset;
    return "simulator exception " + std::to_string(LoadU32(at)) + " (send ID " + std::to_string(LoadU32(at + 4)) +
           ", index " + std::to_string(LoadU32(at + 8)) +
           "): the simulator refused one of the bridge's calls, perhaps a variable that an update changed" + next;
}

} // namespace

std::string DescribeRecordForLog(const unsigned char* record, std::uint32_t size)
{
    if (size < kRecordKindOffset + 4)
        return "";
    switch (LoadU32(record + kRecordKindOffset)) {
    case kRecordKindOpen:
        return DescribeOpen(record, size);
    case kRecordKindException:
        return DescribeException(record, size);
    default:
        return "";
    }
}
