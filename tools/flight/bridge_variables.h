#pragma once

// The bridge's side of the flight: the twelve SimConnect variables of its data
// definition, each one of the flight's quantities, and the units a client may
// ask them in. The simulator emulator answers by these.

#include "flight_state.h"

#include <array>
#include <string>

enum class Dimension { Velocity, Acceleration, Angle, AngularRate };

struct Quantity {
    const char* variable; // the SimConnect variable name
    const char* column;   // its name in CSV files and in kinemora-listen's K2 fields
    Dimension dimension;
};

// Row for row with kK2Fields, the order of the bridge's data definition 0;
// entry i is the flight's Field i.
extern const std::array<Quantity, kQuantityCount> kQuantities;

// MSFS delivers pitch positive nose down, bank positive left wing down, and
// the rotation about body X positive pitching down and about Z rolling left:
// those four have the opposite sign of the flight's own.
constexpr bool MsfsOpposes(std::size_t quantity)
{
    return quantity == kBank || quantity == kPitch || quantity == kRotationVelocityBodyX ||
           quantity == kRotationVelocityBodyZ;
}

// A quantity's value as MSFS delivers it, from the flight's own, and back
// (negation turns a NaN's sign bit back too).
inline double InMsfsSigns(std::size_t quantity, double value)
{
    return MsfsOpposes(quantity) ? -value : value;
}

// Index into kQuantities of a SimConnect variable name (any letter case), or -1.
int FindVariable(const std::string& name);

// Whether the emulator knows a units name at all (any letter case).
bool KnownUnits(const std::string& units);

// The SI units of a dimension, in which the bridge asks for it.
const char* SiUnits(Dimension dimension);

// The factor that converts a quantity of this dimension from SI into the named
// units (any letter case); false when the units do not measure that dimension.
bool UnitsFactor(Dimension dimension, const std::string& units, double& factor);

namespace flight {

// ASCII letters in lower case.
std::string ToLower(std::string text);

} // namespace flight
