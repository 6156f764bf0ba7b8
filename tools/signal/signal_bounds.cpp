#include "signal_bounds.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

// "pi (3.14159) rad", "3.0 rad", "350 m/s"
std::string Bound(const char* text, double value, const char* unit)
{
    const std::string shown = text;
    return (shown.find("pi") == std::string::npos ? shown : shown + " (" + Number(value) + ")") + " " + unit;
}

// ", which is 1719 degrees (amplitudes and offsets are in radians; 5 degrees
// is 0.087)" for angles and rates; "" for the other fields.
std::string InDegrees(const SignalField& field, double reach)
{
    const bool rate = std::strcmp(field.unit, "rad/s") == 0;
    if (!rate && std::strcmp(field.unit, "rad") != 0)
        return "";
    char degrees[32];
    std::snprintf(degrees, sizeof(degrees), "%.0f", reach * kDegreesPerRadian);
    return rate ? std::string(", which is ") + degrees +
                      " degrees a second (rates are in radians a second; 5 degrees a second is 0.087)"
                : std::string(", which is ") + degrees +
                      " degrees (amplitudes and offsets are in radians; 5 degrees is 0.087)";
}

} // namespace

std::string BoundsError(const SignalField& field, double amplitude, double offset, bool force)
{
    const double reach = std::fabs(offset) + std::fabs(amplitude);
    const bool beyond_extreme = reach > field.extreme;
    if (reach <= field.gentle || (force && !beyond_extreme))
        return "";
    const std::string reaches = "--amplitude " + Number(amplitude) + " with --offset " + Number(offset) +
                                " reaches " + Number(reach) + " " + field.unit + " on " + FormatName(field.format) +
                                " " + field.name + InDegrees(field, reach);
    const std::string extreme = Bound(field.extreme_text, field.extreme, field.unit);
    if (beyond_extreme)
        return reaches + ": beyond " + extreme + ", more than any flight sends, so not even --force sends it" +
               (InDegrees(field, reach).empty() ? std::string("; check that it is in ") + field.unit : "");
    return reaches + ": beyond " + Bound(field.gentle_text, field.gentle, field.unit) +
           ", the gentle bound for bring-up; add --force to send it anyway, up to " + extreme;
}
