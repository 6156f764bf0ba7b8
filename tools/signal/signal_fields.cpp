#include "signal_fields.h"

#include <array>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Extreme bounds: angles pi, except K01 bank, which the plug-in never sends
// above 3.0, and K2 heading, which the simulator gives from 0 to 2 pi; angular
// rates 2 pi per second (a full turn a second); velocities 350 m/s (about
// Mach 1 at sea level); accelerations 100 m/s^2 (about 10 g). Beyond them lie
// degrees typed for radians and km/h typed for m/s.
// Gentle bounds, for the first tests of a rig that carries a person, at most
// a fifth of those: 0.35 rad (20 degrees), a typical rig's travel in pitch and
// roll; 0.5 rad/s, a brisk roll; 20 m/s, a fast taxi; 5 m/s^2, half a g.
constexpr SignalField WithBounds(const MotionField& field)
{
    if (protocol::SameText(field.unit, "m/s"))
        return {field, 20.0, "20", 350.0, "350"};
    if (protocol::SameText(field.unit, "m/s^2"))
        return {field, 5.0, "5", 100.0, "100"};
    if (protocol::SameText(field.unit, "rad/s"))
        return {field, 0.5, "0.5", 2.0 * kPi, "2 pi"};
    if (field.format == DatagramFormat::K01 && protocol::SameText(field.name, "bank"))
        return {field, 0.35, "0.35", 3.0, "3.0"};
    if (field.format == DatagramFormat::K2 && protocol::SameText(field.name, "heading"))
        return {field, 0.35, "0.35", 2.0 * kPi, "2 pi"};
    return {field, 0.35, "0.35", kPi, "pi"};
}

template <std::size_t N>
constexpr std::array<SignalField, N> WithBounds(const MotionField (&fields)[N])
{
    std::array<SignalField, N> bounded{};
    for (std::size_t i = 0; i < N; ++i)
        bounded[i] = WithBounds(fields[i]);
    return bounded;
}

constexpr std::array<SignalField, kK01FieldCount> kK01SignalFields = WithBounds(kK01Fields);
constexpr std::array<SignalField, kK2FieldCount> kK2SignalFields = WithBounds(kK2Fields);

} // namespace

const SignalField* SignalFieldsOf(SignalFormat format, std::size_t& count)
{
    count = format == SignalFormat::K01 ? kK01SignalFields.size() : kK2SignalFields.size();
    return format == SignalFormat::K01 ? kK01SignalFields.data() : kK2SignalFields.data();
}

const SignalField* FindSignalField(SignalFormat format, const std::string& name)
{
    std::size_t count = 0;
    const SignalField* fields = SignalFieldsOf(format, count);
    for (std::size_t i = 0; i < count; ++i)
        if (name == fields[i].name)
            return &fields[i];
    return nullptr;
}

std::string FieldNames(SignalFormat format)
{
    std::size_t count = 0;
    const SignalField* fields = SignalFieldsOf(format, count);
    std::string names;
    for (std::size_t i = 0; i < count; ++i)
        names += (i == 0 ? "" : ", ") + std::string(fields[i].name);
    return names;
}
