#include "xplane_motion.h"

#include <cmath>

const char* const kXPlaneDataRefs[kXPlaneValueCount] = {
    "sim/flightmodel/forces/vx_acf_axis",  "sim/flightmodel/forces/vy_acf_axis",
    "sim/flightmodel/forces/vz_acf_axis",  "sim/flightmodel/position/local_ax",
    "sim/flightmodel/position/local_ay",   "sim/flightmodel/position/local_az",
    "sim/flightmodel/position/true_theta", "sim/flightmodel/position/true_phi",
    "sim/flightmodel/position/true_psi",   "sim/flightmodel/position/Prad",
    "sim/flightmodel/position/Qrad",       "sim/flightmodel/position/Rrad",
};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;

// The rotation from north, east, down into forward, right, down: heading
// about down, then pitch about the new right axis, then bank about forward.
void Rotation(double psi, double theta, double phi, double (&m)[3][3])
{
    const double cy = std::cos(psi), sy = std::sin(psi), cp = std::cos(theta), sp = std::sin(theta);
    const double cr = std::cos(phi), sr = std::sin(phi);
    m[0][0] = cp * cy;                  m[0][1] = cp * sy;                  m[0][2] = -sp;
    m[1][0] = sr * sp * cy - cr * sy;   m[1][1] = sr * sp * sy + cr * cy;   m[1][2] = sr * cp;
    m[2][0] = cr * sp * cy + sr * sy;   m[2][1] = cr * sp * sy - sr * cy;   m[2][2] = cr * cp;
}

} // namespace

void ForwardRightDown(const double (&local)[3], double psi, double theta, double phi, double (&body)[3])
{
    // X-Plane's local x east, y up, z south as north, east, down.
    const double ned[3] = {-local[2], local[0], -local[1]};
    double m[3][3];
    Rotation(psi, theta, phi, m);
    for (int i = 0; i < 3; ++i)
        body[i] = m[i][0] * ned[0] + m[i][1] * ned[1] + m[i][2] * ned[2];
}

void LocalFrame(const double (&body)[3], double psi, double theta, double phi, double (&local)[3])
{
    double m[3][3];
    Rotation(psi, theta, phi, m);
    double ned[3];
    for (int i = 0; i < 3; ++i)
        ned[i] = m[0][i] * body[0] + m[1][i] * body[1] + m[2][i] * body[2];
    local[0] = ned[1];
    local[1] = -ned[2];
    local[2] = -ned[0];
}

void K2FromXPlane(const double (&x)[kXPlaneValueCount], double (&k2)[kK2FieldCount])
{
    const double theta = x[kTheta] * kRadiansPerDegree, phi = x[kPhi] * kRadiansPerDegree;
    const double psi = x[kPsi] * kRadiansPerDegree;
    const double local[3] = {x[kAx], x[kAy], x[kAz]};
    double frd[3];
    ForwardRightDown(local, psi, theta, phi, frd);
    const double heading = std::fmod(psi, 2.0 * kPi);
    const double values[kK2FieldCount] = {
        -x[kVz], x[kVx], x[kVy],                        // velocity body Z, X, Y
        frd[0], frd[1], -frd[2],                        // acceleration body Z, X, Y
        -phi, -theta, heading < 0.0 ? heading + 2.0 * kPi : heading,
        -x[kP], -x[kQ], x[kR],                          // rotation velocity body Z, X, Y
    };
    for (std::size_t i = 0; i < kK2FieldCount; ++i)
        k2[i] = values[i];
}
