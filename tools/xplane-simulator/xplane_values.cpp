#include "xplane_values.h"

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

} // namespace

void XPlaneValues(const FlightState& state, double (&values)[kXPlaneValueCount])
{
    const double* v = state.values;
    // The flight's body axes run Z forward, X right, Y up; X-Plane's x right, y up, z aft.
    const double frd[3] = {v[kAccelerationBodyZ], v[kAccelerationBodyX], -v[kAccelerationBodyY]};
    double local[3];
    LocalFrame(frd, v[kHeading], v[kPitch], v[kBank], local);
    const double x[kXPlaneValueCount] = {
        v[kVelocityBodyX], v[kVelocityBodyY], -v[kVelocityBodyZ],
        local[0], local[1], local[2],
        v[kPitch] * kDegreesPerRadian, v[kBank] * kDegreesPerRadian, v[kHeading] * kDegreesPerRadian,
        v[kRotationVelocityBodyZ], v[kRotationVelocityBodyX], v[kRotationVelocityBodyY],
    };
    for (std::size_t i = 0; i < kXPlaneValueCount; ++i)
        values[i] = x[i];
}
