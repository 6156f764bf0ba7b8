#pragma once

// The fields of both motion datagrams: K01 (44 bytes, from the Aerofly
// plug-ins) and K2 (55 bytes, from the MSFS bridge). Each is an ASCII lead-in
// without a NUL, an unsigned 32-bit time field in microseconds, then the
// floats below, little-endian IEEE 754 singles packed without gaps. The copies
// in other languages are held to this table by tests/protocol.

#include <cstddef>
#include <cstring>

enum class DatagramFormat { K01, K2 };

struct MotionField {
    DatagramFormat format;
    const char* name;     // as kinemora-listen prints it, and the C decoder's member
    std::size_t offset;   // bytes from the start of the datagram
    const char* unit;     // "m/s", "m/s^2", "rad" or "rad/s"
    const char* meaning;  // the axis, as docs/protocol.md describes it
    const char* variable; // K2: the SimConnect variable the bridge requests, in this order; K01: ""
};

constexpr std::size_t kK01Size = 44;
constexpr char kK01LeadIn[] = "K01,";
constexpr std::size_t kK01TimeOffset = 4;
constexpr std::size_t kK01FieldCount = 9;

constexpr std::size_t kK2Size = 55;
constexpr char kK2LeadIn[] = "K2,";
constexpr std::size_t kK2TimeOffset = 3;
constexpr std::size_t kK2FieldCount = 12;

// In wire order. K01: the velocity first, bank before pitch; the plug-in
// sends every value in the host's own units, which are SI.
constexpr MotionField kK01Fields[kK01FieldCount] = {
    {DatagramFormat::K01, "velocity_x", 8, "m/s", "velocity along body axis x", ""},
    {DatagramFormat::K01, "velocity_y", 12, "m/s", "velocity along body axis y", ""},
    {DatagramFormat::K01, "velocity_z", 16, "m/s", "velocity along body axis z", ""},
    {DatagramFormat::K01, "bank", 20, "rad", "bank (the plug-in sends at most 3.0)", ""},
    {DatagramFormat::K01, "pitch", 24, "rad", "pitch", ""},
    {DatagramFormat::K01, "rate_of_turn", 28, "rad/s", "rate of turn", ""},
    {DatagramFormat::K01, "angular_velocity_x", 32, "rad/s", "angular velocity about body axis x", ""},
    {DatagramFormat::K01, "angular_velocity_y", 36, "rad/s", "angular velocity about body axis y", ""},
    {DatagramFormat::K01, "angular_velocity_z", 40, "rad/s", "angular velocity about body axis z", ""},
};

// In wire order, which is the order of the bridge's data definition: each
// triple runs Z, X, Y, and the angles are in radians despite their names.
constexpr MotionField kK2Fields[kK2FieldCount] = {
    {DatagramFormat::K2, "velocity_body_z", 7, "m/s", "VELOCITY BODY Z, longitudinal", "VELOCITY BODY Z"},
    {DatagramFormat::K2, "velocity_body_x", 11, "m/s", "VELOCITY BODY X, lateral", "VELOCITY BODY X"},
    {DatagramFormat::K2, "velocity_body_y", 15, "m/s", "VELOCITY BODY Y, vertical", "VELOCITY BODY Y"},
    {DatagramFormat::K2, "acceleration_body_z", 19, "m/s^2", "ACCELERATION BODY Z, longitudinal",
     "ACCELERATION BODY Z"},
    {DatagramFormat::K2, "acceleration_body_x", 23, "m/s^2", "ACCELERATION BODY X, lateral",
     "ACCELERATION BODY X"},
    {DatagramFormat::K2, "acceleration_body_y", 27, "m/s^2", "ACCELERATION BODY Y, vertical",
     "ACCELERATION BODY Y"},
    {DatagramFormat::K2, "bank", 31, "rad", "PLANE BANK DEGREES, in radians", "PLANE BANK DEGREES"},
    {DatagramFormat::K2, "pitch", 35, "rad", "PLANE PITCH DEGREES, in radians", "PLANE PITCH DEGREES"},
    {DatagramFormat::K2, "heading", 39, "rad", "PLANE HEADING DEGREES TRUE, in radians",
     "PLANE HEADING DEGREES TRUE"},
    {DatagramFormat::K2, "rotation_velocity_body_z", 43, "rad/s", "ROTATION VELOCITY BODY Z, roll rate",
     "ROTATION VELOCITY BODY Z"},
    {DatagramFormat::K2, "rotation_velocity_body_x", 47, "rad/s", "ROTATION VELOCITY BODY X, pitch rate",
     "ROTATION VELOCITY BODY X"},
    {DatagramFormat::K2, "rotation_velocity_body_y", 51, "rad/s", "ROTATION VELOCITY BODY Y, yaw rate",
     "ROTATION VELOCITY BODY Y"},
};

namespace protocol {

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

} // namespace protocol

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
    if (protocol::TextLength(LeadIn(format)) != TimeOffset(format))
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (fields[i].format != format || fields[i].offset != TimeOffset(format) + 4 + 4 * i)
            return false;
    return TimeOffset(format) + 4 + 4 * count == DatagramSize(format);
}
static_assert(PackedWithoutGaps(DatagramFormat::K01), "K01: lead-in, time field, nine floats, 44 bytes");
static_assert(PackedWithoutGaps(DatagramFormat::K2), "K2: lead-in, time field, twelve floats, 55 bytes");
