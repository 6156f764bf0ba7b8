#include "bridge_variables.h"

#include <cctype>

namespace {

// The K2 table's units are the SI units in which the bridge asks.
constexpr Dimension DimensionOf(const char* unit)
{
    return protocol::SameText(unit, "m/s")     ? Dimension::Velocity
           : protocol::SameText(unit, "m/s^2") ? Dimension::Acceleration
           : protocol::SameText(unit, "rad")   ? Dimension::Angle
                                     : Dimension::AngularRate;
}

constexpr std::array<Quantity, kQuantityCount> QuantitiesOfK2()
{
    std::array<Quantity, kQuantityCount> quantities{};
    for (std::size_t i = 0; i < kQuantityCount; ++i)
        quantities[i] = {kK2Fields[i].variable, kK2Fields[i].name, DimensionOf(kK2Fields[i].unit)};
    return quantities;
}

constexpr bool EveryUnitKnown()
{
    for (const MotionField& field : kK2Fields)
        if (DimensionOf(field.unit) == Dimension::AngularRate && !protocol::SameText(field.unit, "rad/s"))
            return false;
    return true;
}
static_assert(EveryUnitKnown(), "every K2 unit is one of the four dimensions");

} // namespace

const std::array<Quantity, kQuantityCount> kQuantities = QuantitiesOfK2();

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFoot = 0.3048;        // metres
constexpr double kKnot = 1852.0 / 3600; // metres per second

struct Units {
    const char* name;
    Dimension dimension;
    double factor;
};

const Units kUnits[] = {
    {"meters per second", Dimension::Velocity, 1.0},
    {"feet per second", Dimension::Velocity, 1.0 / kFoot},
    {"knots", Dimension::Velocity, 1.0 / kKnot},
    {"meters per second squared", Dimension::Acceleration, 1.0},
    {"feet per second squared", Dimension::Acceleration, 1.0 / kFoot},
    {"radians", Dimension::Angle, 1.0},
    {"degrees", Dimension::Angle, 180.0 / kPi},
    {"radians per second", Dimension::AngularRate, 1.0},
    {"degrees per second", Dimension::AngularRate, 180.0 / kPi},
};

} // namespace

std::string flight::ToLower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int FindVariable(const std::string& name)
{
    const std::string wanted = flight::ToLower(name);
    for (std::size_t i = 0; i < kQuantityCount; ++i) {
        if (flight::ToLower(kQuantities[i].variable) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

const char* SiUnits(Dimension dimension)
{
    for (const Units& u : kUnits) {
        if (u.dimension == dimension && u.factor == 1.0)
            return u.name;
    }
    return "";
}

bool KnownUnits(const std::string& units)
{
    const std::string wanted = flight::ToLower(units);
    for (const Units& u : kUnits) {
        if (wanted == u.name)
            return true;
    }
    return false;
}

bool UnitsFactor(Dimension dimension, const std::string& units, double& factor)
{
    const std::string wanted = flight::ToLower(units);
    for (const Units& u : kUnits) {
        if (u.dimension == dimension && wanted == u.name) {
            factor = u.factor;
            return true;
        }
    }
    return false;
}
