#pragma once

// The fields of both motion datagrams, in the one table that the encoders,
// kinemora-listen, kinemora-signal, the emulators' flight and the tests read:
// K01 (44 bytes, from the Aerofly FS 2 plug-in) and K2 (55 bytes, from the
// MSFS bridge). Each datagram is an ASCII lead-in without a NUL, an unsigned
// 32-bit time field in microseconds right after it, then the floats below as
// little-endian IEEE 754 singles, packed without gaps.
//
// Other languages keep copies: include/kinemora/motion_datagram.h (C),
// docs/protocol.md, examples/python/kinemora_datagram.py,
// tools/wireshark/kinemora.lua and tools/plot/kinemora-plot. The test in
// tests/fields compares each of them with this table.

#include <cstddef>
#include <cstring>

enum class DatagramFormat { K01, K2 };

struct MotionField {
    DatagramFormat format;
    const char* name;     // as kinemora-listen prints it, and the C decoder's member
    std::size_t offset;   // bytes from the start of the datagram
    const char* unit;     // "m/s", "m/s^2", "rad" or "rad/s"
    const char* meaning;  // the axis, as docs/protocol.md describes it
    const char* variable; // K2: the SimConnect variable the bridge requests; K01: ""
    // Bounds on |offset| + |amplitude| of a test signal on this field: above
    // the gentle one kinemora-signal wants --force, above the extreme one
    // (which no flight exceeds) it sends nothing. The texts are how
    // --list-axes shows them.
    double gentle;
    const char* gentle_text;
    double extreme;
    const char* extreme_text;
};

constexpr std::size_t kK01Size = 44;
constexpr char kK01LeadIn[] = "K01,";
constexpr std::size_t kK01TimeOffset = 4;
constexpr std::size_t kK01FieldCount = 9;

constexpr std::size_t kK2Size = 55;
constexpr char kK2LeadIn[] = "K2,";
constexpr std::size_t kK2TimeOffset = 3;
constexpr std::size_t kK2FieldCount = 12;

namespace motion_bounds {

constexpr double kPi = 3.14159265358979323846;

// Extreme bounds: angles pi, except K01 bank, which the plug-in never sends
// above 3.0, and K2 heading, which the simulator gives from 0 to 2 pi; angular
// rates 2 pi per second (a full turn a second); velocities 350 m/s (about
// Mach 1 at sea level, 1260 km/h); accelerations 100 m/s^2 (about 10 g, more
// than an aerobatic aircraft pulls). Beyond them lie degrees typed for radians
// and km/h typed for m/s.
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

} // namespace motion_bounds

// In wire order. K01: the velocity first, bank before pitch; the plug-in
// sends every value in the host's own units, which are SI.
constexpr MotionField kK01Fields[kK01FieldCount] = {
    {DatagramFormat::K01, "velocity_x", 8, "m/s", "velocity along body axis x", "",
     motion_bounds::kGentleVelocity, "20", motion_bounds::kVelocity, "350"},
    {DatagramFormat::K01, "velocity_y", 12, "m/s", "velocity along body axis y", "",
     motion_bounds::kGentleVelocity, "20", motion_bounds::kVelocity, "350"},
    {DatagramFormat::K01, "velocity_z", 16, "m/s", "velocity along body axis z", "",
     motion_bounds::kGentleVelocity, "20", motion_bounds::kVelocity, "350"},
    {DatagramFormat::K01, "bank", 20, "rad", "bank (the plug-in sends at most 3.0)", "",
     motion_bounds::kGentleAngle, "0.35", 3.0, "3.0"},
    {DatagramFormat::K01, "pitch", 24, "rad", "pitch", "",
     motion_bounds::kGentleAngle, "0.35", motion_bounds::kAngle, "pi"},
    {DatagramFormat::K01, "rate_of_turn", 28, "rad/s", "rate of turn", "",
     motion_bounds::kGentleRate, "0.5", motion_bounds::kRate, "2 pi"},
    {DatagramFormat::K01, "angular_velocity_x", 32, "rad/s", "angular velocity about body axis x", "",
     motion_bounds::kGentleRate, "0.5", motion_bounds::kRate, "2 pi"},
    {DatagramFormat::K01, "angular_velocity_y", 36, "rad/s", "angular velocity about body axis y", "",
     motion_bounds::kGentleRate, "0.5", motion_bounds::kRate, "2 pi"},
    {DatagramFormat::K01, "angular_velocity_z", 40, "rad/s", "angular velocity about body axis z", "",
     motion_bounds::kGentleRate, "0.5", motion_bounds::kRate, "2 pi"},
};

// In wire order, which is the order of the bridge's data definition: each
// triple runs Z, X, Y, and the angles are in radians despite their names.
constexpr MotionField kK2Fields[kK2FieldCount] = {
    {DatagramFormat::K2, "velocity_body_z", 7, "m/s", "VELOCITY BODY Z, longitudinal", "VELOCITY BODY Z",
     motion_bounds::kGentleVelocity, "20", motion_bounds::kVelocity, "350"},
    {DatagramFormat::K2, "velocity_body_x", 11, "m/s", "VELOCITY BODY X, lateral", "VELOCITY BODY X",
     motion_bounds::kGentleVelocity, "20", motion_bounds::kVelocity, "350"},
    {DatagramFormat::K2, "velocity_body_y", 15, "m/s", "VELOCITY BODY Y, vertical", "VELOCITY BODY Y",
     motion_bounds::kGentleVelocity, "20", motion_bounds::kVelocity, "350"},
    {DatagramFormat::K2, "acceleration_body_z", 19, "m/s^2", "ACCELERATION BODY Z, longitudinal",
     "ACCELERATION BODY Z", motion_bounds::kGentleAcceleration, "5", motion_bounds::kAcceleration, "100"},
    {DatagramFormat::K2, "acceleration_body_x", 23, "m/s^2", "ACCELERATION BODY X, lateral",
     "ACCELERATION BODY X", motion_bounds::kGentleAcceleration, "5", motion_bounds::kAcceleration, "100"},
    {DatagramFormat::K2, "acceleration_body_y", 27, "m/s^2", "ACCELERATION BODY Y, vertical",
     "ACCELERATION BODY Y", motion_bounds::kGentleAcceleration, "5", motion_bounds::kAcceleration, "100"},
    {DatagramFormat::K2, "bank", 31, "rad", "PLANE BANK DEGREES, in radians", "PLANE BANK DEGREES",
     motion_bounds::kGentleAngle, "0.35", motion_bounds::kAngle, "pi"},
    {DatagramFormat::K2, "pitch", 35, "rad", "PLANE PITCH DEGREES, in radians", "PLANE PITCH DEGREES",
     motion_bounds::kGentleAngle, "0.35", motion_bounds::kAngle, "pi"},
    {DatagramFormat::K2, "heading", 39, "rad", "PLANE HEADING DEGREES TRUE, in radians",
     "PLANE HEADING DEGREES TRUE", motion_bounds::kGentleAngle, "0.35", 2.0 * motion_bounds::kPi, "2 pi"},
    {DatagramFormat::K2, "rotation_velocity_body_z", 43, "rad/s", "ROTATION VELOCITY BODY Z, roll rate",
     "ROTATION VELOCITY BODY Z", motion_bounds::kGentleRate, "0.5", motion_bounds::kRate, "2 pi"},
    {DatagramFormat::K2, "rotation_velocity_body_x", 47, "rad/s", "ROTATION VELOCITY BODY X, pitch rate",
     "ROTATION VELOCITY BODY X", motion_bounds::kGentleRate, "0.5", motion_bounds::kRate, "2 pi"},
    {DatagramFormat::K2, "rotation_velocity_body_y", 51, "rad/s", "ROTATION VELOCITY BODY Y, yaw rate",
     "ROTATION VELOCITY BODY Y", motion_bounds::kGentleRate, "0.5", motion_bounds::kRate, "2 pi"},
};

// Whether two NUL-terminated texts are equal; usable in static_assert.
constexpr bool SameText(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

constexpr std::size_t TextLength(const char* text)
{
    std::size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

// "K01" or "K2".
constexpr const char* FormatName(DatagramFormat format)
{
    return format == DatagramFormat::K01 ? "K01" : "K2";
}

constexpr std::size_t DatagramSize(DatagramFormat format)
{
    return format == DatagramFormat::K01 ? kK01Size : kK2Size;
}

// Also the lead-in's length: the time field follows it at once.
constexpr std::size_t TimeOffset(DatagramFormat format)
{
    return format == DatagramFormat::K01 ? kK01TimeOffset : kK2TimeOffset;
}

constexpr const char* LeadIn(DatagramFormat format)
{
    return format == DatagramFormat::K01 ? kK01LeadIn : kK2LeadIn;
}

// The fields of one format in wire order: nine for K01, twelve for K2.
constexpr const MotionField* FieldsOf(DatagramFormat format, std::size_t& count)
{
    count = format == DatagramFormat::K01 ? kK01FieldCount : kK2FieldCount;
    return format == DatagramFormat::K01 ? kK01Fields : kK2Fields;
}

// The field's place among the floats of its datagram, 0 first.
constexpr std::size_t FloatIndex(const MotionField& field)
{
    return (field.offset - TimeOffset(field.format) - 4) / 4;
}

// The field of that name in that format, or null.
inline const MotionField* FindField(DatagramFormat format, const char* name)
{
    std::size_t count = 0;
    const MotionField* fields = FieldsOf(format, count);
    for (std::size_t i = 0; i < count; ++i)
        if (std::strcmp(fields[i].name, name) == 0)
            return &fields[i];
    return nullptr;
}

// Each format: the lead-in ends where the time field starts, the floats follow
// it four bytes apart in the format's own rows, and the last one ends the datagram.
constexpr bool PackedWithoutGaps(DatagramFormat format)
{
    std::size_t count = 0;
    const MotionField* fields = FieldsOf(format, count);
    if (TextLength(LeadIn(format)) != TimeOffset(format))
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (fields[i].format != format || fields[i].offset != TimeOffset(format) + 4 + 4 * i)
            return false;
    return TimeOffset(format) + 4 + 4 * count == DatagramSize(format);
}
static_assert(PackedWithoutGaps(DatagramFormat::K01), "K01: lead-in, time field, nine floats, 44 bytes");
static_assert(PackedWithoutGaps(DatagramFormat::K2), "K2: lead-in, time field, twelve floats, 55 bytes");
