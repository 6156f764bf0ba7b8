// X-Plane's messages as kinemora_xplane reads and writes them, and its values
// turned into K2: what the MSFS stand-in delivers for the same flight.
#include "bridge_variables.h"
#include "default_flight.h"
#include "xplane_motion.h"
#include "xplane_protocol.h"
#include "xplane_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

TEST(XPlaneProtocol, BeaconsAreReadWholeOrNotAtAll)
{
    Beacon sent;
    sent.version = 115501;
    sent.role = 2;
    sent.port = 49001;
    sent.name = "SIMPC";
    const std::vector<unsigned char> bytes = EncodeBeacon(sent);
    EXPECT_EQ(bytes, Bytes(std::string("BECN\0\x01\x02\x01\0\0\0\x2D\xC3\x01\0\x02\0\0\0\x69\xBF" "SIMPC\0", 27)));
    Beacon read;
    ASSERT_TRUE(ReadBeacon(bytes.data(), bytes.size(), read));
    EXPECT_EQ(std::make_tuple(read.major, read.minor, read.host, read.version, read.role, read.port, read.name),
              std::make_tuple(1, 2, 1, 115501, 2u, 49001, std::string("SIMPC")));
    EXPECT_EQ(XPlaneVersion(read.version), "11.55 (version 115501)");
    for (std::size_t cut : {bytes.size() - 1, std::size_t{21}, std::size_t{5}})
        EXPECT_FALSE(ReadBeacon(bytes.data(), cut, read)) << "cut at " << cut; // no NUL after the name
    EXPECT_FALSE(ReadBeacon(Bytes("BECK").data(), 4, read));
}

TEST(XPlaneProtocol, RrefRequestsAndRepliesByteForByte)
{
    unsigned char request[kRrefRequestSize];
    ASSERT_TRUE(EncodeRrefRequest(100, 7, "sim/flightmodel/position/Prad", request));
    EXPECT_EQ(std::vector<unsigned char>(request, request + 17), Bytes(std::string("RREF\0d\0\0\0\x07\0\0\0sim/", 17)));
    EXPECT_EQ(request[kRrefRequestSize - 1], 0);
    EXPECT_FALSE(EncodeRrefRequest(100, 7, std::string(400, 'x'), request)) << "no room for its NUL";

    const std::vector<unsigned char> reply = Bytes(std::string("RREF,\x03\0\0\0\0\0\x80\x3F\x0B\0\0\0\0\0\0\xC0", 21));
    std::vector<RrefValue> values;
    ASSERT_TRUE(ReadRrefReply(reply.data(), reply.size(), values));
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(std::make_tuple(values[0].index, values[0].value, values[1].index, values[1].value),
              std::make_tuple(3, 1.0f, 11, -2.0f));
    EXPECT_EQ(EncodeRrefReply(values), reply);
    // Short, foreign, or no whole number of pairs: nothing is read.
    for (const std::string& odd : {std::string("RREF,"), std::string("DATA*\0\0\0\0\0\0\0\0", 13),
                                   std::string("RREF,\x03\0\0\0\0\0\x80\x3F\x0B\0\0", 16)})
        EXPECT_FALSE(ReadRrefReply(Bytes(odd).data(), odd.size(), values)) << odd.size();
}

// X-Plane's own conventions, one value each: heading east and level,
// accelerating east and upwards; the rates rolling right, pitching up and
// yawing right are K2's rolling left, pitching down and yawing right negated
// but for the yaw.
TEST(XPlaneMotion, OneValueEachInK2sAxesAndSigns)
{
    const double x[kXPlaneValueCount] = {1.5, -2.0, -50.0, 2.0, 1.0, 0.0, 0.0, 0.0, 90.0, 0.1, 0.2, 0.3};
    double k2[kK2FieldCount];
    K2FromXPlane(x, k2);
    const double expected[kK2FieldCount] = {50.0, 1.5, -2.0, 2.0, 0.0, 1.0, -0.0, -0.0, M_PI / 2, -0.1, -0.2, 0.3};
    for (std::size_t i = 0; i < kK2FieldCount; ++i)
        EXPECT_NEAR(k2[i], expected[i], 1e-12) << kK2Fields[i].name;
    const double nose_up_right_wing_down[kXPlaneValueCount] = {0, 0, 0, 0, 0, 0, 10.0, 20.0, -30.0, 0, 0, 0};
    K2FromXPlane(nose_up_right_wing_down, k2);
    EXPECT_NEAR(k2[7], -10.0 * M_PI / 180, 1e-12) << "pitch: nose up is negative";
    EXPECT_NEAR(k2[6], -20.0 * M_PI / 180, 1e-12) << "bank: right wing down is negative";
    EXPECT_NEAR(k2[8], 330.0 * M_PI / 180, 1e-12) << "heading from 0 to 2 pi";
}

// The stand-in's values turned into K2 are what the MSFS stand-in delivers.
TEST(XPlaneMotion, TheStandInsFlightGivesWhatMsfsGives)
{
    for (double t : {15.0, 60.0, 120.0, 160.0, 240.0, 263.0}) {
        const FlightState state = DefaultFlight(t);
        double x[kXPlaneValueCount], k2[kK2FieldCount];
        XPlaneValues(state, x);
        K2FromXPlane(x, k2);
        for (std::size_t i = 0; i < kK2FieldCount; ++i)
            EXPECT_NEAR(k2[i], InMsfsSigns(i, state.values[i]), 1e-9) << kK2Fields[i].name << " at " << t << " s";
    }
}

} // namespace
