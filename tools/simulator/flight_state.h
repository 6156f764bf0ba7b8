#pragma once

// The aircraft quantities the emulator can deliver, in SI units: metres per
// second, metres per second squared, radians, radians per second.

#include <cstddef>
#include <string>

enum class Dimension { Velocity, Acceleration, Angle, AngularRate };

struct Quantity {
    const char* variable; // the SimConnect variable name
    const char* column;   // the column name in a CSV profile
    Dimension dimension;
};

constexpr std::size_t kQuantityCount = 12;

// In the order of the bridge's data definition 0 (and of the K2 datagram).
extern const Quantity kQuantities[kQuantityCount];

struct FlightState {
    double values[kQuantityCount] = {};
};

// Index into kQuantities of a SimConnect variable name (any letter case), or -1.
int FindVariable(const std::string& name);

// Index of a CSV column name, or -1. Letter case, a "k2_" prefix and spaces
// for underscores do not matter, and the variable names are accepted too, so
// a kinemora-listen --csv recording replays as it is.
int FindColumn(const std::string& column);

// The factor that converts a quantity of this dimension from SI into the named
// units (any letter case); false when the units do not measure that dimension.
bool UnitsFactor(Dimension dimension, const std::string& units, double& factor);

// Whether the emulator knows a units name at all (any letter case).
bool KnownUnits(const std::string& units);

// The SI units of a dimension, in which the bridge asks for it.
const char* SiUnits(Dimension dimension);

std::string ToLower(std::string text);
