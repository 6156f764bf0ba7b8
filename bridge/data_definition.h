#pragma once

// The fixed identifiers the bridge passes to SimConnect. Data definition 0
// holds the variables of kK2Fields, in their order, each in the SI units of
// its K2 field.

#include "motion_fields.h"

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

// SimConnect's name for the SI unit of a K2 field.
constexpr const char* SimConnectUnits(const MotionField& field)
{
    return protocol::SameText(field.unit, "m/s")     ? "meters per second"
           : protocol::SameText(field.unit, "m/s^2") ? "meters per second squared"
           : protocol::SameText(field.unit, "rad")   ? "radians"
                                           : "radians per second";
}
