#include "signal_fields.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Extreme bounds: angles pi, except K01 bank, which the plug-in never sends
// above 3.0, and K2 heading, which the simulator gives from 0 to 2 pi; angular
// rates 2 pi per second (a full turn a second); velocities 350 m/s (about
// Mach 1 at sea level, 1260 km/h); accelerations 100 m/s^2 (about 10 g, more
// than an aerobatic aircraft pulls). Beyond them lie degrees typed for radians
// and km/h typed for m/s, which are not sent even with --force.
constexpr double kAngle = kPi;
constexpr double kRate = 2.0 * kPi;
constexpr double kVelocity = 350.0;
constexpr double kAcceleration = 100.0;

// Gentle bounds, for the first tests of a rig that carries a person: at most
// a fifth of the extremes. Angles 0.35 rad (20 degrees), the travel of a
// typical rig in pitch and roll; heading too, since a rig with a yaw axis
// turns by it. Angular rates 0.5 rad/s (29 degrees a second), a brisk roll.
// Velocities 20 m/s (72 km/h), a fast taxi or a steep climb. Accelerations
// 5 m/s^2 (half a g), a firm cue that no rig has to clip.
constexpr double kGentleAngle = 0.35;
constexpr double kGentleRate = 0.5;
constexpr double kGentleVelocity = 20.0;
constexpr double kGentleAcceleration = 5.0;

// Each row: format, name, slot, unit and meaning, then the gentle and the
// extreme bound with their texts.
const SignalField kK01Fields[] = {
    {SignalFormat::K01, "velocity_x", 0, "m/s", "velocity along body axis x",
     kGentleVelocity, "20", kVelocity, "350"},
    {SignalFormat::K01, "velocity_y", 1, "m/s", "velocity along body axis y",
     kGentleVelocity, "20", kVelocity, "350"},
    {SignalFormat::K01, "velocity_z", 2, "m/s", "velocity along body axis z",
     kGentleVelocity, "20", kVelocity, "350"},
    {SignalFormat::K01, "bank", 3, "rad", "bank (the plug-in sends at most 3.0)",
     kGentleAngle, "0.35", 3.0, "3.0"},
    {SignalFormat::K01, "pitch", 4, "rad", "pitch",
     kGentleAngle, "0.35", kAngle, "pi"},
    {SignalFormat::K01, "rate_of_turn", 5, "rad/s", "rate of turn",
     kGentleRate, "0.5", kRate, "2 pi"},
    {SignalFormat::K01, "angular_velocity_x", 6, "rad/s", "angular velocity about body axis x",
     kGentleRate, "0.5", kRate, "2 pi"},
    {SignalFormat::K01, "angular_velocity_y", 7, "rad/s", "angular velocity about body axis y",
     kGentleRate, "0.5", kRate, "2 pi"},
    {SignalFormat::K01, "angular_velocity_z", 8, "rad/s", "angular velocity about body axis z",
     kGentleRate, "0.5", kRate, "2 pi"},
};

const SignalField kK2Fields[] = {
    {SignalFormat::K2, "velocity_body_z", 0, "m/s", "VELOCITY BODY Z, longitudinal",
     kGentleVelocity, "20", kVelocity, "350"},
    {SignalFormat::K2, "velocity_body_x", 1, "m/s", "VELOCITY BODY X, lateral",
     kGentleVelocity, "20", kVelocity, "350"},
    {SignalFormat::K2, "velocity_body_y", 2, "m/s", "VELOCITY BODY Y, vertical",
     kGentleVelocity, "20", kVelocity, "350"},
    {SignalFormat::K2, "acceleration_body_z", 3, "m/s^2", "ACCELERATION BODY Z, longitudinal",
     kGentleAcceleration, "5", kAcceleration, "100"},
    {SignalFormat::K2, "acceleration_body_x", 4, "m/s^2", "ACCELERATION BODY X, lateral",
     kGentleAcceleration, "5", kAcceleration, "100"},
    {SignalFormat::K2, "acceleration_body_y", 5, "m/s^2", "ACCELERATION BODY Y, vertical",
     kGentleAcceleration, "5", kAcceleration, "100"},
    {SignalFormat::K2, "bank", 6, "rad", "PLANE BANK DEGREES, in radians",
     kGentleAngle, "0.35", kAngle, "pi"},
    {SignalFormat::K2, "pitch", 7, "rad", "PLANE PITCH DEGREES, in radians",
     kGentleAngle, "0.35", kAngle, "pi"},
    {SignalFormat::K2, "heading", 8, "rad", "PLANE HEADING DEGREES TRUE, in radians",
     kGentleAngle, "0.35", 2.0 * kPi, "2 pi"},
    {SignalFormat::K2, "rotation_velocity_body_z", 9, "rad/s", "ROTATION VELOCITY BODY Z, roll rate",
     kGentleRate, "0.5", kRate, "2 pi"},
    {SignalFormat::K2, "rotation_velocity_body_x", 10, "rad/s", "ROTATION VELOCITY BODY X, pitch rate",
     kGentleRate, "0.5", kRate, "2 pi"},
    {SignalFormat::K2, "rotation_velocity_body_y", 11, "rad/s", "ROTATION VELOCITY BODY Y, yaw rate",
     kGentleRate, "0.5", kRate, "2 pi"},
};

} // namespace

const char* FormatName(SignalFormat format)
{
    return format == SignalFormat::K01 ? "K01" : "K2";
}

const SignalField* FieldsOf(SignalFormat format, std::size_t& count)
{
    if (format == SignalFormat::K01) {
        count = sizeof(kK01Fields) / sizeof(kK01Fields[0]);
        return kK01Fields;
    }
    count = sizeof(kK2Fields) / sizeof(kK2Fields[0]);
    return kK2Fields;
}

const SignalField* FindField(SignalFormat format, const std::string& name)
{
    std::size_t count = 0;
    const SignalField* fields = FieldsOf(format, count);
    for (std::size_t i = 0; i < count; ++i)
        if (name == fields[i].name)
            return &fields[i];
    return nullptr;
}

std::string FieldNames(SignalFormat format)
{
    std::size_t count = 0;
    const SignalField* fields = FieldsOf(format, count);
    std::string names;
    for (std::size_t i = 0; i < count; ++i)
        names += (i == 0 ? "" : ", ") + std::string(fields[i].name);
    return names;
}
