// The message catalogue: its order, its entries' bytes and identifiers.

#include "message_catalogue.h"
#include "tm_external_message.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

// Entry by its number in the catalogue, counting from 1.
const MessageCatalogueEntry& Entry(std::size_t number)
{
    return MessageCatalogue.at(number - 1);
}

std::string NameOf(const MessageCatalogueEntry& e)
{
    return std::string(e.Name, e.NameLength);
}

bool SameEntry(const MessageCatalogueEntry& a, const MessageCatalogueEntry& b)
{
    return a.NameLength == b.NameLength && std::memcmp(a.Name, b.Name, sizeof(a.Name)) == 0 && a.ID == b.ID;
}

} // namespace

TEST(MessageCatalogue, HoldsAllEntriesInOneBlock)
{
    ASSERT_EQ(MessageCatalogue.size(), 418u);
    // Built in one allocation of exactly the entries, none added after.
    EXPECT_EQ(MessageCatalogue.capacity(), MessageCatalogue.size());
    EXPECT_EQ(&MessageCatalogue.back() + 1, MessageCatalogue.data() + 418);
}

// Order and spelling of all 418 names: 64-bit FNV-1a over every name in
// catalogue order, each followed by a line feed. The constant was worked out
// once from the published list of names, never from this code's own list, so
// two entries swapped or one letter changed fail here.
TEST(MessageCatalogue, NamesInOrderMatchThePublishedList)
{
    std::uint64_t digest = 0xCBF29CE484222325ull;
    auto add = [&](unsigned char byte) {
        digest ^= byte;
        digest *= 0x100000001B3ull;
    };
    for (const MessageCatalogueEntry& e : MessageCatalogue) {
        for (std::uint32_t i = 0; i < e.NameLength; ++i)
            add(static_cast<unsigned char>(e.Name[i]));
        add('\n');
    }
    EXPECT_EQ(digest, 0x17E8AE9FEA37BD0Aull);
}

TEST(MessageCatalogue, FirstAndLastEntries)
{
    EXPECT_EQ(NameOf(Entry(1)), "Aircraft.Altitude");
    EXPECT_EQ(Entry(1).NameLength, 17u);
    EXPECT_EQ(Entry(1).ID, 0x785BB8BE1583817Bull);
    EXPECT_EQ(NameOf(Entry(418)), "Warnings.WarningMute");
}

TEST(MessageCatalogue, ViewUpIsZeroPaddedToTheEndOfItsBuffer)
{
    const MessageCatalogueEntry& e = Entry(151);
    EXPECT_EQ(e.NameLength, 7u);
    char expected[256] = {'V', 'i', 'e', 'w', '.', 'U', 'p'}; // the rest, NUL included, is zero
    EXPECT_EQ(std::memcmp(e.Name, expected, 256), 0);
    EXPECT_EQ(e.ID, tm_msg_name_hash("View.Up"));
    EXPECT_EQ(e.ID, 0x1A511E5141CBAACDull);
}

TEST(MessageCatalogue, EveryEntryIsBuiltFromItsName)
{
    for (std::size_t i = 0; i < MessageCatalogue.size(); ++i) {
        const MessageCatalogueEntry& e = MessageCatalogue[i];
        SCOPED_TRACE(i + 1);
        ASSERT_GE(e.NameLength, 7u);
        ASSERT_LE(e.NameLength, 39u);
        EXPECT_EQ(std::strlen(e.Name), e.NameLength);
        for (std::size_t b = e.NameLength; b < sizeof(e.Name); ++b)
            ASSERT_EQ(e.Name[b], '\0') << "byte " << b;
        EXPECT_EQ(e.ID, tm_msg_name_hash(e.Name));
    }
}

TEST(MessageCatalogue, GroupsInTheirOrder)
{
    struct Group {
        std::size_t first, last;
        const char* name;
    };
    const Group groups[] = {
        {1, 32, "Aircraft"},        {33, 37, "Performance"},  {38, 54, "Navigation"},
        {55, 69, "Autopilot"},      {70, 71, "FlightDirector"}, {72, 79, "Copilot"},
        {80, 127, "Controls"},      {128, 157, "View"},       {158, 175, "Simulation"},
        {176, 185, "Command"},      {186, 204, "Aircraft"},   {205, 260, "Autopilot"},
        {261, 263, "Command"},      {264, 276, "Communication"}, {277, 305, "Controls"},
        {306, 341, "Copilot"},      {342, 346, "Description"}, {347, 372, "Game"},
        {373, 389, "Navigation"},   {390, 393, "Performance"}, {394, 409, "Simulation"},
        {410, 411, "Simulator"},    {412, 415, "View"},       {416, 418, "Warnings"},
    };
    std::size_t next = 1;
    for (const Group& g : groups) {
        ASSERT_EQ(g.first, next);
        for (std::size_t n = g.first; n <= g.last; ++n)
            EXPECT_EQ(NameOf(Entry(n)).rfind(std::string(g.name) + ".", 0), 0u) << n << " " << NameOf(Entry(n));
        next = g.last + 1;
    }
    EXPECT_EQ(next, 419u);
}

TEST(MessageCatalogue, RepeatedNamesAreIdenticalEntriesAtTheirPlaces)
{
    std::map<std::string, std::vector<std::size_t>> places;
    for (std::size_t n = 1; n <= MessageCatalogue.size(); ++n)
        places[NameOf(Entry(n))].push_back(n);
    EXPECT_EQ(places.size(), 398u);

    const std::map<std::string, std::vector<std::size_t>> repeated = {
        {"Controls.Throttle1", {81, 85}},     {"Controls.Throttle2", {82, 86}},
        {"Controls.Throttle3", {83, 87}},     {"Controls.Throttle4", {84, 88}},
        {"Controls.Pitch.Input", {89, 90}},   {"Controls.Roll.Input", {91, 92}},
        {"Controls.Yaw.Input", {93, 94}},     {"Controls.Flaps", {95, 96}},
        {"Controls.Gear", {97, 98}},          {"Controls.WheelBrake.Left", {99, 101}},
        {"Controls.WheelBrake.Right", {100, 102}}, {"Controls.AirBrake", {103, 104}},
        {"Controls.Trim", {118, 119, 120}},   {"View.Pan.Horizontal", {135, 136}},
        {"View.Pan.Vertical", {137, 138}},    {"View.OffsetX", {143, 144}},
        {"View.OffsetY", {145, 146}},         {"View.OffsetZ", {147, 148}},
        {"Simulation.PlaybackPosition", {173, 403}},
    };
    std::map<std::string, std::vector<std::size_t>> found;
    for (const auto& [name, at] : places) {
        if (at.size() > 1)
            found[name] = at;
        for (std::size_t n : at)
            EXPECT_TRUE(SameEntry(Entry(n), Entry(at.front()))) << n;
    }
    EXPECT_EQ(found, repeated);
    EXPECT_EQ(NameOf(Entry(118)), "Controls.Trim");
}

TEST(MessageCatalogue, DistinctNamesHaveDistinctIdentifiers)
{
    std::map<std::uint64_t, std::string> by_id;
    for (const MessageCatalogueEntry& e : MessageCatalogue) {
        const auto [it, added] = by_id.emplace(e.ID, NameOf(e));
        if (!added) {
            EXPECT_EQ(it->second, NameOf(e)) << "identifier " << std::hex << e.ID << " is shared";
        }
    }
    EXPECT_EQ(by_id.size(), 398u);

    EXPECT_EQ(NameOf(Entry(407)), "Simulation.TakeSceenshot");
    EXPECT_EQ(NameOf(Entry(408)), "Simulation.TakeScreenshot");
    EXPECT_EQ(Entry(407).ID, 0x2DBEAB6C246861DDull);
    EXPECT_EQ(Entry(408).ID, 0x7E18B9EE7FFFC5D5ull);
}

TEST(MessageCatalogue, MotionMessagesCarryTheConstantsIdentifiers)
{
    struct Motion {
        std::size_t number;
        const char* name;
        const tm_external_message& constant;
    };
    const Motion motion[] = {
        {3, "Aircraft.Pitch", MessageAircraftPitch},
        {4, "Aircraft.Bank", MessageAircraftBank},
        {14, "Aircraft.Velocity", MessageAircraftVelocity},
        {15, "Aircraft.AngularVelocity", MessageAircraftAngularVelocity},
        {19, "Aircraft.RateOfTurn", MessageAircraftRateOfTurn},
        {169, "Simulation.Time", MessageSimulationTime},
    };
    for (const Motion& m : motion) {
        EXPECT_EQ(NameOf(Entry(m.number)), m.name);
        EXPECT_EQ(Entry(m.number).ID, m.constant.get_id()) << m.name;
    }
}

TEST(MessageCatalogue, MakeEntryClearsTheWholeBuffer)
{
    const MessageCatalogueEntry e = MakeMessageCatalogueEntry("Game.Pause");
    EXPECT_EQ(e.NameLength, 10u);
    EXPECT_STREQ(e.Name, "Game.Pause");
    for (std::size_t b = 10; b < sizeof(e.Name); ++b)
        ASSERT_EQ(e.Name[b], '\0') << b;
    EXPECT_EQ(e.ID, tm_msg_name_hash("Game.Pause"));
}
