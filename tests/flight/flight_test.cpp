// The one flight of both emulators: the CSV dialect (profiles and
// kinemora-listen recordings of either kind), play by frame or at a
// recording's own times, the two mappings and the built-in flight.
#include "bridge_variables.h"
#include "default_flight.h"
#include "flight_csv.h"
#include "flight_source.h"
#include "plugin_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

bool Read(const std::string& text, FlightTable& table, std::string& error, DatagramKind kind = DatagramKind::K2)
{
    std::istringstream in(text);
    return ReadFlightCsv(in, kind, table, error);
}

FlightTable Table(const std::string& text, DatagramKind kind = DatagramKind::K2)
{
    FlightTable table;
    std::string error;
    EXPECT_TRUE(Read(text, table, error, kind)) << error;
    return table;
}

std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

TEST(FlightCsv, MapsColumnsByNameInAnyOrderAndSpelling)
{
    const FlightTable table = Table("# a comment, then an empty line\n"
                                    "\n"
                                    "heading, K2_VELOCITY_BODY_Z ,ROTATION VELOCITY BODY Y,notes,plane_bank_degrees\n"
                                    "1.25,-3.5e2,0.001,anything,-0.5\r\n");
    EXPECT_FALSE(table.Timed());
    ASSERT_EQ(table.rows.size(), 1u);
    const FlightState& row = table.rows[0];
    EXPECT_EQ(row.values[kHeading], 1.25);
    EXPECT_EQ(row.values[kVelocityBodyZ], -350.0);
    EXPECT_EQ(row.values[kRotationVelocityBodyY], 0.001);
    EXPECT_EQ(row.values[kBank], -0.5);
    EXPECT_EQ(row.values[kVelocityBodyX], 0.0); // no column: 0
    EXPECT_EQ(table.ignored, (std::vector<std::string>{"notes"}));
    EXPECT_EQ(table.missing.size(), 8u);
}

TEST(FlightCsv, ReadsSpecialValuesBitExactly)
{
    const FlightTable table = Table("bank,pitch,heading,velocity_body_x,velocity_body_y,velocity_body_z\n"
                                    "nan,-NaN,inf,-Infinity,0.1,-0\n");
    const FlightState& row = table.rows[0];
    EXPECT_EQ(Bits(row.values[kBank]), 0x7FF8000000000000ull);
    EXPECT_EQ(Bits(row.values[kPitch]), 0xFFF8000000000000ull);
    EXPECT_EQ(row.values[kHeading], INFINITY);
    EXPECT_EQ(row.values[kVelocityBodyX], -INFINITY);
    EXPECT_EQ(Bits(row.values[kVelocityBodyY]), Bits(0.1));
    EXPECT_EQ(Bits(row.values[kVelocityBodyZ]), 0x8000000000000000ull);
}

// A kinemora-listen --csv recording with both kinds, as it writes them.
const char kRecording[] =
    "arrival_s,source,kind,length,time_us,k01_velocity_x,k01_velocity_y,k01_velocity_z,k01_bank,k01_pitch,"
    "k01_rate_of_turn,k01_angular_velocity_x,k01_angular_velocity_y,k01_angular_velocity_z,k2_velocity_body_z,"
    "k2_velocity_body_x,k2_velocity_body_y,k2_acceleration_body_z,k2_acceleration_body_x,k2_acceleration_body_y,"
    "k2_bank,k2_pitch,k2_heading,k2_rotation_velocity_body_z,k2_rotation_velocity_body_x,"
    "k2_rotation_velocity_body_y\n"
    "0.500000,192.0.2.10:4000,K2,55,0,,,,,,,,,,10,1,2,3,4,5,0.1,0.2,0.3,0.4,0.5,0.6\n"
    "0.516000,192.0.2.10:4001,K01,44,1500000,51.2000008,-0.75,1.5,3.5,-0.125,0.0625,0.25,-0.03125,0.015625,"
    ",,,,,,,,,,,\n"
    "0.600000,192.0.2.10:4002,unrecognised,3,,,,,,,,,,,,,,,,,,,,,,\n"
    "0.700000,192.0.2.10:4003,K2,55,33333,,,,,,,,,,11,1,2,3,4,5,0.2,0.2,0.3,0.4,0.5,nan\n";

TEST(FlightCsv, ReadsTheK2RowsOfARecordingForTheSimulator)
{
    const FlightTable table = Table(kRecording);
    EXPECT_TRUE(table.Timed());
    EXPECT_FALSE(table.SimulationTimed()) << "the bridge keeps its own clock";
    EXPECT_EQ(table.times, (std::vector<double>{0.5, 0.7}));
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[1].values[kVelocityBodyZ], 11.0);
    EXPECT_EQ(table.rows[1].values[kBank], -0.2) << "MSFS's bank, the flight's negated";
    EXPECT_EQ(table.rows[1].values[kHeading], 0.3);
    EXPECT_TRUE(std::isnan(table.rows[1].values[kRotationVelocityBodyY]));
    EXPECT_TRUE(table.missing.empty());
    EXPECT_EQ(table.ignored, (std::vector<std::string>{"source", "length", "time_us"}));
}

TEST(FlightCsv, ReadsTheK01RowsOfARecordingBackThroughThePluginsAxes)
{
    const FlightTable table = Table(kRecording, DatagramKind::K01);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.times, (std::vector<double>{0.516}));
    ASSERT_TRUE(table.SimulationTimed());
    EXPECT_EQ(table.simulation_times[0], 1.5000005);
    const double* v = table.rows[0].values;
    EXPECT_EQ(v[kVelocityBodyZ], 51.2000008); // x forward
    EXPECT_EQ(v[kVelocityBodyX], -0.75);      // y right
    EXPECT_EQ(v[kVelocityBodyY], -1.5);       // z down
    EXPECT_EQ(v[kBank], 9.5) << "a sent bank above 3 came from one above 9";
    EXPECT_EQ(v[kPitch], -0.125);
    EXPECT_EQ(v[kRateOfTurn], 0.0625);
    EXPECT_EQ(v[kRotationVelocityBodyZ], 0.25);
    EXPECT_EQ(v[kRotationVelocityBodyX], -0.03125);
    EXPECT_EQ(v[kRotationVelocityBodyY], 0.015625);
    EXPECT_EQ(table.ignored, (std::vector<std::string>{"source", "length"}));

    // And forward again to what the host sends: every recorded value as it was.
    FlightSample sample;
    sample.state = table.rows[0];
    const PluginMessages m = ToPluginMessages(sample);
    EXPECT_EQ(m.velocity_body[0], 51.2000008);
    EXPECT_EQ(m.velocity_body[1], -0.75);
    EXPECT_EQ(m.velocity_body[2], 1.5);
    EXPECT_EQ(m.angular_velocity[0], 0.25);
    EXPECT_EQ(m.angular_velocity[1], -0.03125);
    EXPECT_EQ(m.angular_velocity[2], 0.015625);
    EXPECT_EQ(m.bank - 6.0, 3.5) << "which the plug-in turns back into 3.5";
}

TEST(FlightCsv, TimeFieldsComeBackThroughThePluginsTruncation)
{
    // The plug-in's field is the simulation time in microseconds, truncated.
    for (std::uint32_t us : {0u, 1u, 999999u, 1000999u, 1001000u, 33554431u, 16777217u}) {
        const double product = SimulationTimeForTimeField(us) * 1000000.0;
        EXPECT_EQ(static_cast<std::uint32_t>(static_cast<std::int64_t>(product)) & 0x1FFFFFFu, us) << us;
    }
}

TEST(FlightCsv, ExplainsWhatIsWrongAndWhere)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "the file is empty"},
        {"# only a comment\n", "the file is empty"},
        {"bank\n", "the file has a header but no rows"},
        {"kind,bank\nK01,1\n", "the file has a header but no K2 rows"},
        {"time,notes\n0,1\n", "line 1: the header names none of the values the K2 emulator sends"},
        {"bank,BANK\n1,2\n", "line 1: column 'BANK' appears twice"},
        {"velocity_x,velocity_body_z\n1,2\n", "line 1: column 'velocity_body_z' appears twice"},
        {"bank,pitch\n1,2\n3\n", "line 3: 1 cells, but the header has 2 columns"},
        {"bank\n1\n0x10\n", "line 3: '0x10' in column 'bank' is not a number"},
        {"bank\n\n", "the file has a header but no rows"},
        {"bank\n1e\n", "line 2: '1e' in column 'bank' is not a number"},
        {"bank,pitch\n1,\n", "line 2: '' in column 'pitch' is not a number"},
        {"time,bank\n1,0\n0.5,0\n", "line 3: the time 0.5 is not a finite number of seconds"},
        {"time,bank\nnan,0\n", "line 2: the time nan is not a finite number"},
    };
    for (const Case& c : cases) {
        FlightTable table;
        std::string error;
        EXPECT_FALSE(Read(c.text, table, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "for " << c.text << " got: " << error;
    }
    FlightTable table;
    std::string error;
    EXPECT_FALSE(Read("time_us,pitch\n1.5,0\n", table, error, DatagramKind::K01));
    EXPECT_EQ(error, "line 2: the time field 1.5 is not a whole number of microseconds");
}

TEST(FlightSource, RowsWithoutTimesGoOnePerFrameAndRepeat)
{
    FlightSource source(Table("bank\n1\n2\n3\n"), "three.csv");
    const double expected[] = {1, 2, 3, 1, 2};
    for (std::uint64_t frame = 0; frame < 5; ++frame) {
        const FlightSample sample = source.Sample(frame, 10.0);
        EXPECT_EQ(sample.state.values[kBank], expected[frame]) << frame;
        EXPECT_EQ(sample.at, frame / 10.0);
    }
    EXPECT_FALSE(source.Recording());
    EXPECT_EQ(source.Duration(10.0), 0.3);
    EXPECT_EQ(source.Description(), "three.csv (3 rows, one per frame)");
}

TEST(FlightSource, ARecordingPlaysEachRowAtItsOwnTimeAndRepeatsAfterTheLastGap)
{
    FlightSource source(Table("time,bank\n10,1\n10.5,2\n11.25,3\n"), "timed.csv");
    EXPECT_TRUE(source.Recording());
    const double bank[] = {1, 2, 3, 1, 2};
    const double at[] = {0.0, 0.5, 1.25, 2.0, 2.5}; // the period: 1.25 s and the last gap, 0.75 s
    for (std::uint64_t frame = 0; frame < 5; ++frame) {
        const FlightSample sample = source.Sample(frame, 30.0);
        EXPECT_EQ(sample.state.values[kBank], bank[frame]) << frame;
        EXPECT_EQ(sample.at, at[frame]) << frame;
    }
    EXPECT_EQ(source.Duration(30.0), 2.0);
    EXPECT_EQ(source.Description(), "recording timed.csv (3 rows over 2.000 s, played at their own times)");
}

TEST(FlightSource, StartsLaterInTheFlightWhenAsked)
{
    FlightSource rows(Table("bank\n1\n2\n3\n"), "rows.csv");
    FlightSource recording(Table("time,bank\n0,1\n1,2\n2,3\n"), "timed.csv");
    FlightSource built_in;
    rows.StartAt(0.2);      // two frames at 10 per second
    recording.StartAt(0.5); // the first row at or after 0.5 s
    built_in.StartAt(120.0);
    EXPECT_EQ(rows.Sample(0, 10.0).state.values[kBank], 3.0);
    EXPECT_EQ(rows.Sample(1, 10.0).state.values[kBank], 1.0);
    EXPECT_EQ(recording.Sample(0, 10.0).state.values[kBank], 2.0);
    EXPECT_EQ(recording.Sample(0, 10.0).at, 0.5);
    EXPECT_EQ(recording.Sample(2, 10.0).state.values[kBank], 1.0);
    EXPECT_EQ(recording.Sample(2, 10.0).at, 2.5);
    EXPECT_EQ(built_in.Sample(30, 30.0).state.values[kHeading], DefaultFlight(121.0).values[kHeading]);
    EXPECT_EQ(built_in.Sample(30, 30.0).simulation_time, 121.0);
    EXPECT_EQ(built_in.Duration(30.0), 180.0);
}

TEST(BridgeVariables, FindsVariablesAndUnits)
{
    EXPECT_EQ(FindVariable("VELOCITY BODY Z"), 0);
    EXPECT_EQ(FindVariable("plane heading degrees true"), 8);
    EXPECT_EQ(FindVariable("PLANE HEADING DEGREES"), -1);

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
    EXPECT_TRUE(KnownUnits("KNOTS"));
    EXPECT_FALSE(KnownUnits("furlongs per fortnight"));
    EXPECT_STREQ(SiUnits(Dimension::AngularRate), "radians per second");
}

TEST(PluginMessages, TheHostsAxesAndTheWorldVelocity)
{
    FlightSample sample;
    sample.simulation_time = 12.5;
    double* v = sample.state.values;
    v[kVelocityBodyZ] = 60.0;
    v[kVelocityBodyX] = 1.0;
    v[kVelocityBodyY] = -2.0;
    v[kBank] = 0.25;
    v[kPitch] = 0.0;
    v[kHeading] = kPi / 2; // east
    v[kRotationVelocityBodyZ] = 0.1;
    v[kRotationVelocityBodyX] = 0.2;
    v[kRotationVelocityBodyY] = 0.3;
    v[kRateOfTurn] = 0.05;
    const PluginMessages m = ToPluginMessages(sample);
    EXPECT_EQ(m.simulation_time, 12.5);
    EXPECT_EQ(m.bank, 0.25);
    EXPECT_EQ(m.rate_of_turn, 0.05);
    EXPECT_EQ(m.velocity_body[0], 60.0);
    EXPECT_EQ(m.velocity_body[1], 1.0);
    EXPECT_EQ(m.velocity_body[2], 2.0);
    EXPECT_EQ(m.angular_velocity[0], 0.1);
    EXPECT_EQ(m.angular_velocity[1], 0.2);
    EXPECT_EQ(m.angular_velocity[2], 0.3);
    EXPECT_NEAR(m.velocity_world[0], -1.0, 1e-12); // north: the right wing points south
    EXPECT_NEAR(m.velocity_world[1], 60.0, 1e-12); // east
    EXPECT_NEAR(m.velocity_world[2], 2.0, 1e-12);  // sinking: down is positive
}

TEST(DefaultFlight, StartsAtRestOnTheRunwayAndEndsWhereItStarted)
{
    const FlightState start = DefaultFlight(0.0);
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (i == kHeading)
            continue; // the heading is the runway's
        EXPECT_EQ(start.values[i], 0.0) << i;
    }
    const FlightState end = DefaultFlight(kDefaultFlightSeconds - 1e-9);
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const double gap = std::fabs(end.values[i] - start.values[i]);
        EXPECT_LT(std::min(gap, 2 * kPi - gap), 1e-6) << i;
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
        ASSERT_GE(s.values[kHeading], 0.0);
        ASSERT_LT(s.values[kHeading], 2 * kPi);
        top_speed = std::max(top_speed, s.values[kVelocityBodyZ]);
        most_left = std::min(most_left, s.values[kBank]);
        most_right = std::max(most_right, s.values[kBank]);
        most_up = std::max(most_up, s.values[kPitch]);
        if (t > 262 && t < 264)
            touchdown_load = std::max(touchdown_load, s.values[kAccelerationBodyY]);
    }
    EXPECT_GT(top_speed, 70.0);
    EXPECT_LT(most_left, -0.3); // about 20 degrees left
    EXPECT_GT(most_right, 0.3);
    EXPECT_GT(most_up, 0.15);   // the climb
    EXPECT_GT(touchdown_load, 2.5);
    EXPECT_EQ(DefaultFlight(kDefaultFlightSeconds - 5).values[kVelocityBodyZ], 0.0); // stopped at the end
}

TEST(DefaultFlight, RatesMatchTheAnglesTheyChange)
{
    // Integrating the rates over the first left turn's entry gives the change
    // of bank, pitch and heading.
    double bank = DefaultFlight(95.0).values[kBank];
    double pitch = DefaultFlight(95.0).values[kPitch];
    double heading = DefaultFlight(95.0).values[kHeading];
    const double step = 0.01;
    for (double t = 95.0; t < 115.0; t += step) {
        const FlightState s = DefaultFlight(t + step / 2);
        bank += s.values[kRotationVelocityBodyZ] * step;
        pitch += s.values[kRotationVelocityBodyX] * step;
        heading += s.values[kRateOfTurn] * step;
    }
    EXPECT_NEAR(bank, DefaultFlight(115.0).values[kBank], 1e-3);
    EXPECT_NEAR(pitch, DefaultFlight(115.0).values[kPitch], 1e-3);
    EXPECT_NEAR(heading, DefaultFlight(115.0).values[kHeading], 1e-3);
}

} // namespace
