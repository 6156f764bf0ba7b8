#include "bridge_variables.h"

#include <cctype>

const Quantity kQuantities[kQuantityCount] = {
    {"VELOCITY BODY Z", "velocity_body_z", Dimension::Velocity},
    {"VELOCITY BODY X", "velocity_body_x", Dimension::Velocity},
    {"VELOCITY BODY Y", "velocity_body_y", Dimension::Velocity},
    {"ACCELERATION BODY Z", "acceleration_body_z", Dimension::Acceleration},
    {"ACCELERATION BODY X", "acceleration_body_x", Dimension::Acceleration},
    {"ACCELERATION BODY Y", "acceleration_body_y", Dimension::Acceleration},
    {"PLANE BANK DEGREES", "bank", Dimension::Angle},
    {"PLANE PITCH DEGREES", "pitch", Dimension::Angle},
    {"PLANE HEADING DEGREES TRUE", "heading", Dimension::Angle},
    {"ROTATION VELOCITY BODY Z", "rotation_velocity_body_z", Dimension::AngularRate},
    {"ROTATION VELOCITY BODY X", "rotation_velocity_body_x", Dimension::AngularRate},
    {"ROTATION VELOCITY BODY Y", "rotation_velocity_body_y", Dimension::AngularRate},
};

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

std::string ToLower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int FindVariable(const std::string& name)
{
    const std::string wanted = ToLower(name);
    for (std::size_t i = 0; i < kQuantityCount; ++i) {
        if (ToLower(kQuantities[i].variable) == wanted)
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
    const std::string wanted = ToLower(units);
    for (const Units& u : kUnits) {
        if (wanted == u.name)
            return true;
    }
    return false;
}

bool UnitsFactor(Dimension dimension, const std::string& units, double& factor)
{
    const std::string wanted = ToLower(units);
    for (const Units& u : kUnits) {
        if (u.dimension == dimension && wanted == u.name) {
            factor = u.factor;
            return true;
        }
    }
    return false;
}
