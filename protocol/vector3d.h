#pragma once

// Three 64-bit floats, as the host sends a vector; narrowed to 32-bit floats only on the wire.
struct Vector3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};
