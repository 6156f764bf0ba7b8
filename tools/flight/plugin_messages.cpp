#include "plugin_messages.h"

#include <cmath>

PluginMessages ToPluginMessages(const FlightSample& sample)
{
    const double* v = sample.state.values;
    PluginMessages m;
    m.simulation_time = sample.simulation_time;
    m.pitch = v[kPitch];
    m.bank = v[kBank];
    m.rate_of_turn = v[kRateOfTurn];
    m.velocity_body[0] = v[kVelocityBodyZ];
    m.velocity_body[1] = v[kVelocityBodyX];
    m.velocity_body[2] = -v[kVelocityBodyY];
    m.angular_velocity[0] = v[kRotationVelocityBodyZ];
    m.angular_velocity[1] = v[kRotationVelocityBodyX];
    m.angular_velocity[2] = v[kRotationVelocityBodyY];

    // The same velocity in world axes, turned by pitch and heading (bank
    // left out): what the host sends as the velocity without BodyFrame.
    const double pitch = v[kPitch], heading = v[kHeading];
    const double forward = v[kVelocityBodyZ] * std::cos(pitch) - v[kVelocityBodyY] * std::sin(pitch);
    const double up = v[kVelocityBodyZ] * std::sin(pitch) + v[kVelocityBodyY] * std::cos(pitch);
    m.velocity_world[0] = forward * std::cos(heading) - v[kVelocityBodyX] * std::sin(heading);
    m.velocity_world[1] = forward * std::sin(heading) + v[kVelocityBodyX] * std::cos(heading);
    m.velocity_world[2] = -up;
    return m;
}

namespace {

// The flight's field behind each K01 float, row for row with kK01Fields: the
// host's body axes run x forward, y right, z down; the flight's Z forward,
// X right, Y up. Bank is the recorded one, after the plug-in's adjustment.
constexpr ColumnTarget kK01Targets[kK01FieldCount] = {
    {kVelocityBodyZ, Transform::Same},
    {kVelocityBodyX, Transform::Same},
    {kVelocityBodyY, Transform::Negated},
    {kBank, Transform::UndoBankAdjustment},
    {kPitch, Transform::Same},
    {kRateOfTurn, Transform::Same},
    {kRotationVelocityBodyZ, Transform::Same},
    {kRotationVelocityBodyX, Transform::Same},
    {kRotationVelocityBodyY, Transform::Same},
};

} // namespace

bool FindK01Column(const std::string& name, bool prefixed, ColumnTarget& target)
{
    for (std::size_t i = 0; i < kK01FieldCount; ++i) {
        if (name != kK01Fields[i].name)
            continue;
        target = kK01Targets[i];
        if (target.transform == Transform::UndoBankAdjustment && !prefixed)
            target.transform = Transform::Same;
        return true;
    }
    return false;
}

const char* K01ColumnOf(Field field)
{
    for (std::size_t i = 0; i < kK01FieldCount; ++i)
        if (kK01Targets[i].field == field)
            return kK01Fields[i].name;
    return nullptr;
}

double ApplyTransform(Transform transform, double value)
{
    switch (transform) {
    case Transform::Negated:
        return -value;
    case Transform::UndoBankAdjustment:
        // The plug-in takes 6 off a bank above 3; a sent bank above 3 came
        // from one above 9. Both steps are exact for a 32-bit value.
        return value > 3.0 ? value + 6.0 : value;
    case Transform::Same:
        break;
    }
    return value;
}

double SimulationTimeForTimeField(std::uint32_t time_us)
{
    // Half a microsecond in, so that the plug-in's truncation lands on
    // time_us whatever the rounding of the division.
    return (static_cast<double>(time_us) + 0.5) / 1e6;
}
