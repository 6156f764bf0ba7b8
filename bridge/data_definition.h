#pragma once

// The fixed identifiers the bridge passes to SimConnect, and data definition 0.

#include <cstddef>
#include <cstdint>

constexpr const char* kClientName = "Request Data";
constexpr std::uint32_t kDefinitionId = 0;
constexpr std::uint32_t kRequestId = 0;
constexpr std::uint32_t kSimStartEventId = 0;
constexpr const char* kSimStartEventName = "SimStart";
constexpr std::int32_t kUserAircraft = 0; // object type
constexpr std::uint32_t kRadiusMeters = 0;
constexpr std::int32_t kDatumTypeFloat64 = 4;
constexpr float kEpsilon = 0.0f;
constexpr std::uint32_t kNoDatumId = 0xFFFFFFFFu;

struct MotionVariable {
    const char* name;
    const char* units;
};

constexpr std::size_t kMotionValueCount = 12;

// Registration order, which is the order of the values in every delivery and
// of the floats in the datagram. Each triple runs Z, X, Y.
constexpr MotionVariable kMotionVariables[kMotionValueCount] = {
    {"VELOCITY BODY Z", "meters per second"},
    {"VELOCITY BODY X", "meters per second"},
    {"VELOCITY BODY Y", "meters per second"},
    {"ACCELERATION BODY Z", "meters per second squared"},
    {"ACCELERATION BODY X", "meters per second squared"},
    {"ACCELERATION BODY Y", "meters per second squared"},
    {"PLANE BANK DEGREES", "radians"},
    {"PLANE PITCH DEGREES", "radians"},
    {"PLANE HEADING DEGREES TRUE", "radians"},
    {"ROTATION VELOCITY BODY Z", "radians per second"},
    {"ROTATION VELOCITY BODY X", "radians per second"},
    {"ROTATION VELOCITY BODY Y", "radians per second"},
};
