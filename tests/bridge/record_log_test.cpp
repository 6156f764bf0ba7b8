// What the bridge's log says of the open and exception records. Each record
// lies in a buffer longer than the size the library reports, so that a read
// beyond that size shows in the line.
#include "record_log.h"

#include "little_endian.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// An open record in 308 bytes: the name (no zero after 256 bytes of it), then
// the application's and SimConnect's versions.
Bytes Open(const std::string& name, const std::vector<std::uint32_t>& versions = {12, 1, 282174, 999, 13, 2, 3, 4})
{
    Bytes r(308, 0);
    PutU32(r.data() + 8, 2);
    std::copy(name.begin(), name.end(), r.begin() + 12);
    for (std::size_t i = 0; i < versions.size(); ++i)
        PutU32(r.data() + 268 + 4 * i, versions[i]);
    return r;
}

Bytes Exception(std::uint32_t number, std::uint32_t send_id, std::uint32_t index)
{
    Bytes r(308, 'Z');
    PutU32(r.data() + 8, 1);
    PutU32(r.data() + 12, number);
    PutU32(r.data() + 16, send_id);
    PutU32(r.data() + 20, index);
    return r;
}

TEST(RecordLog, SaysWhichSimulatorAndWhichSimConnectAnsweredAndEveryException)
{
    const std::string versions = " 12.1.282174.999, SimConnect 13.2.3.4";
    const std::string n256(256, 'N');
    const std::string next = "; the bridge goes on, but its datagrams may lack what that call asked for: note the "
                             "simulator's version (the \"simulator:\" line of this connection) and report both lines";
    Bytes event = Open("");
    PutU32(event.data() + 8, 4);
    const struct {
        Bytes record;
        std::uint32_t size;
        std::string line;
    } cases[] = {
        {Open("SunRise"), 308, "simulator: SunRise" + versions + " (developers report this name for MSFS 2024)"},
        {Open("KittyHawk", {11, 0, 5, 6, 11, 0, 7, 8}), 308,
         "simulator: KittyHawk 11.0.5.6, SimConnect 11.0.7.8 (developers report this name for MSFS 2020)"},
        {Open("Kitty\tHawk\xC3\\"), 308, "simulator: Kitty\\x09Hawk\\xC3\\x5C" + versions},
        {Open(""), 308, "simulator: (no name)" + versions},
        {Open(n256), 308, "simulator: " + n256 + versions},
        {Open(n256), 200, "simulator: " + n256.substr(0, 188) + " (its open record is only 200 bytes: no versions in it)"},
        {Open("X"), 299, "simulator: X (its open record is only 299 bytes: no versions in it)"},
        {Exception(7, 3, 4), 24,
         "simulator exception 7 (send ID 3, index 4): the simulator refused one of the bridge's calls, perhaps a "
         "variable that an update changed" + next},
        {Exception(7, 3, 4), 23, "simulator exception: its record is only 23 bytes, too short for its numbers" + next},
        {event, 308, ""},
        {Exception(7, 3, 4), 11, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeRecordForLog(c.record.data(), c.size), c.line);
}

} // namespace
