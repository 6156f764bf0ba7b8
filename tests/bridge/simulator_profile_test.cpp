// Flight profiles of the emulator: CSV reading, replay by frame or by time,
// unit conversion and the built-in flight.
#include "csv_profile.h"
#include "default_flight.h"
#include "flight_source.h"
#include "flight_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

bool Read(const std::string& text, CsvProfile& profile, std::string& error)
{
    std::istringstream in(text);
    return ReadCsvProfile(in, profile, error);
}

std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

TEST(CsvProfile, MapsColumnsByNameInAnyOrderAndSpelling)
{
    const std::string text =
        "# a comment, then an empty line\n"
        "\n"
        "heading, K2_VELOCITY_BODY_Z ,ROTATION VELOCITY BODY Y,notes,plane_bank_degrees\n"
        "1.25,-3.5e2,0.001,anything,-0.5\r\n";
    CsvProfile profile;
    std::string error;
    ASSERT_TRUE(Read(text, profile, error)) << error;
    EXPECT_FALSE(profile.timed);
    ASSERT_EQ(profile.rows.size(), 1u);
    const FlightState& row = profile.rows[0];
    EXPECT_EQ(row.values[8], 1.25);
    EXPECT_EQ(row.values[0], -350.0);
    EXPECT_EQ(row.values[11], 0.001);
    EXPECT_EQ(row.values[6], -0.5);
    EXPECT_EQ(row.values[1], 0.0); // no column: 0
    EXPECT_EQ(profile.ignored, (std::vector<std::string>{"notes"}));
    EXPECT_EQ(profile.missing.size(), 8u);
}

TEST(CsvProfile, ReadsSpecialValuesBitExactly)
{
    CsvProfile profile;
    std::string error;
    ASSERT_TRUE(Read("bank,pitch,heading,velocity_body_x,velocity_body_y,velocity_body_z\n"
                     "nan,-NaN,inf,-Infinity,0.1,-0\n",
                     profile, error))
        << error;
    const FlightState& row = profile.rows[0];
    EXPECT_EQ(Bits(row.values[6]), 0x7FF8000000000000ull);
    EXPECT_EQ(Bits(row.values[7]), 0xFFF8000000000000ull);
    EXPECT_EQ(row.values[8], INFINITY);
    EXPECT_EQ(row.values[1], -INFINITY);
    EXPECT_EQ(Bits(row.values[2]), Bits(0.1));
    EXPECT_EQ(Bits(row.values[0]), 0x8000000000000000ull);
}

TEST(CsvProfile, ReplaysAKinemoraListenRecordingKeepingOnlyK2Rows)
{
    const std::string text =
        "arrival_s,source,kind,length,time_us,k01_velocity_x,k2_velocity_body_z,k2_bank\n"
        "0.5,192.0.2.10:4000,K2,55,0,,10,0.1\n"
        "0.6,192.0.2.10:4001,K01,44,0,3,,\n"
        "0.7,192.0.2.10:4002,K2,55,33333,,11,0.2\n";
    CsvProfile profile;
    std::string error;
    ASSERT_TRUE(Read(text, profile, error)) << error;
    EXPECT_TRUE(profile.timed);
    EXPECT_EQ(profile.times, (std::vector<double>{0.5, 0.7}));
    ASSERT_EQ(profile.rows.size(), 2u);
    EXPECT_EQ(profile.rows[1].values[0], 11.0);
    EXPECT_EQ(profile.rows[1].values[6], 0.2);
}

TEST(CsvProfile, ExplainsWhatIsWrongAndWhere)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "the profile is empty"},
        {"# only a comment\n", "the profile is empty"},
        {"bank\n", "the profile has a header but no rows"},
        {"time,notes\n0,1\n", "line 1: the header names none of the twelve quantities"},
        {"bank,BANK\n1,2\n", "line 1: column 'BANK' appears twice"},
        {"bank,pitch\n1,2\n3\n", "line 3: 1 cells, but the header has 2 columns"},
        {"bank\n1\n0x10\n", "line 3: '0x10' is not a number"},
        {"bank\n\n", "the profile has a header but no rows"},
        {"bank\n1e\n", "line 2: '1e' is not a number"},
        {"bank\n \n,\n", "line 3: 2 cells, but the header has 1 columns"},
        {"time,bank\n1,0\n0.5,0\n", "line 3: the time 0.5 is not a finite number of seconds"},
        {"time,bank\nnan,0\n", "line 2: the time nan is not a finite number"},
    };
    for (const Case& c : cases) {
        CsvProfile profile;
        std::string error;
        EXPECT_FALSE(Read(c.text, profile, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "for " << c.text << " got: " << error;
    }
}

TEST(FlightSource, UntimedProfileShowsOneRowPerFrameAndRepeats)
{
    CsvProfile profile;
    std::string error;
    ASSERT_TRUE(Read("bank\n1\n2\n3\n", profile, error));
    const FlightSource source(profile, "three.csv");
    const double expected[] = {1, 2, 3, 1, 2};
    for (std::uint64_t frame = 0; frame < 5; ++frame)
        EXPECT_EQ(source.Frame(frame, 30.0).values[6], expected[frame]) << frame;
    EXPECT_EQ(source.Description(), "profile three.csv (3 rows, one per frame, repeating)");
}

TEST(FlightSource, TimedProfileHoldsEachRowUntilTheNextAndRepeatsAfterTheLastGap)
{
    CsvProfile profile;
    std::string error;
    ASSERT_TRUE(Read("time,bank\n10,1\n10.5,2\n11,3\n", profile, error));
    const FlightSource source(profile, "timed.csv");
    // At 10 frames per second the rows last 5 frames each; the period is 1.5 s.
    const double expected[] = {1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 1};
    for (std::uint64_t frame = 0; frame < 16; ++frame)
        EXPECT_EQ(source.Frame(frame, 10.0).values[6], expected[frame]) << frame;
}

TEST(FlightSource, StartsLaterInTheFlightWhenAsked)
{
    CsvProfile untimed, timed;
    std::string error;
    ASSERT_TRUE(Read("bank\n1\n2\n3\n", untimed, error));
    ASSERT_TRUE(Read("time,bank\n0,1\n1,2\n2,3\n", timed, error));
    FlightSource rows(untimed, "rows.csv");
    FlightSource recording(timed, "timed.csv");
    FlightSource built_in;
    rows.StartAt(0.2);      // two frames at 10 per second
    recording.StartAt(1.5); // into the second row
    built_in.StartAt(120.0);
    EXPECT_EQ(rows.Frame(0, 10.0).values[6], 3.0);
    EXPECT_EQ(rows.Frame(1, 10.0).values[6], 1.0);
    EXPECT_EQ(recording.Frame(0, 10.0).values[6], 2.0);
    EXPECT_EQ(recording.Frame(5, 10.0).values[6], 3.0);
    EXPECT_EQ(built_in.Frame(30, 30.0).values[8], DefaultFlight(121.0).values[8]);
}

TEST(FlightState, FindsVariablesColumnsAndUnits)
{
    EXPECT_EQ(FindVariable("VELOCITY BODY Z"), 0);
    EXPECT_EQ(FindVariable("plane heading degrees true"), 8);
    EXPECT_EQ(FindVariable("PLANE HEADING DEGREES"), -1);
    EXPECT_EQ(FindColumn("rotation_velocity_body_x"), 10);
    EXPECT_EQ(FindColumn("k2_pitch"), 7);
    EXPECT_EQ(FindColumn("time"), -1);

    double factor = 0.0;
    EXPECT_TRUE(UnitsFactor(Dimension::Velocity, "Meters per second", factor));
    EXPECT_EQ(factor, 1.0);
    EXPECT_TRUE(UnitsFactor(Dimension::Velocity, "feet per second", factor));
    EXPECT_DOUBLE_EQ(factor * 0.3048, 1.0);
    EXPECT_TRUE(UnitsFactor(Dimension::Angle, "degrees", factor));
    EXPECT_DOUBLE_EQ(factor * kPi, 180.0);
    // An acceleration unit does not measure a velocity.
    EXPECT_FALSE(UnitsFactor(Dimension::Velocity, "meters per second squared", factor));
    EXPECT_FALSE(UnitsFactor(Dimension::AngularRate, "radians", factor));
}

TEST(DefaultFlight, StartsAtRestOnTheRunwayAndEndsWhereItStarted)
{
    const FlightState start = DefaultFlight(0.0);
    for (std::size_t i = 0; i < kQuantityCount; ++i) {
        if (i == 8)
            continue; // the heading is the runway's
        EXPECT_EQ(start.values[i], 0.0) << kQuantities[i].variable;
    }
    const FlightState end = DefaultFlight(kDefaultFlightSeconds - 1e-9);
    for (std::size_t i = 0; i < kQuantityCount; ++i) {
        const double gap = std::fabs(end.values[i] - start.values[i]);
        EXPECT_LT(std::min(gap, 2 * kPi - gap), 1e-6) << kQuantities[i].variable;
    }
}

TEST(DefaultFlight, TakesOffClimbsTurnsBothWaysAndLands)
{
    double top_speed = 0, most_left = 0, most_right = 0, most_up = 0, touchdown_load = 0;
    for (int tenth = 0; tenth < static_cast<int>(kDefaultFlightSeconds * 10); ++tenth) {
        const double t = tenth / 10.0;
        const FlightState s = DefaultFlight(t);
        for (double v : s.values)
            ASSERT_TRUE(std::isfinite(v)) << "at " << t;
        ASSERT_GE(s.values[8], 0.0);
        ASSERT_LT(s.values[8], 2 * kPi);
        top_speed = std::max(top_speed, s.values[0]);
        most_left = std::min(most_left, s.values[6]);
        most_right = std::max(most_right, s.values[6]);
        most_up = std::max(most_up, s.values[7]);
        if (t > 262 && t < 264)
            touchdown_load = std::max(touchdown_load, s.values[5]);
    }
    EXPECT_GT(top_speed, 70.0);
    EXPECT_LT(most_left, -0.3);  // about 20 degrees left
    EXPECT_GT(most_right, 0.3);
    EXPECT_GT(most_up, 0.15);    // the climb
    EXPECT_GT(touchdown_load, 2.5);
    EXPECT_EQ(DefaultFlight(kDefaultFlightSeconds - 5).values[0], 0.0); // stopped at the end
}

TEST(DefaultFlight, RatesMatchTheAnglesTheyChange)
{
    // Integrating the roll and pitch rates over the first left turn's entry
    // gives the change of bank and pitch.
    double bank = DefaultFlight(95.0).values[6];
    double pitch = DefaultFlight(95.0).values[7];
    const double step = 0.01;
    for (double t = 95.0; t < 115.0; t += step) {
        const FlightState s = DefaultFlight(t + step / 2);
        bank += s.values[9] * step;
        pitch += s.values[10] * step;
    }
    EXPECT_NEAR(bank, DefaultFlight(115.0).values[6], 1e-3);
    EXPECT_NEAR(pitch, DefaultFlight(115.0).values[7], 1e-3);
}

} // namespace
