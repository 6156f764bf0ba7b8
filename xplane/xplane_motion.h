#pragma once

// The DataRefs kinemora_xplane asks X-Plane for, and the K2 floats made of
// them: the same axes, units and signs as the MSFS bridge's datagrams. X-Plane's
// aircraft axes run x right, y up, z aft; its local frame x east, y up, z
// south (DataRefs.txt). Pure code.

#include "motion_fields.h"

#include <cstddef>

enum XPlaneValue : std::size_t {
    kVx, kVy, kVz,          // sim/flightmodel/forces/v?_acf_axis: m/s, aircraft axes
    kAx, kAy, kAz,          // sim/flightmodel/position/local_a?: m/s^2, local frame, gravity not in it
    kTheta, kPhi, kPsi,     // true_theta, true_phi, true_psi: degrees; nose up, right wing down, true heading
    kP, kQ, kR,             // Prad, Qrad, Rrad: rad/s; rolling right, pitching up, yawing right
    kXPlaneValueCount
};

extern const char* const kXPlaneDataRefs[kXPlaneValueCount];

// The twelve K2 floats: body Z forward, X right, Y up; pitch positive nose
// down and bank positive left wing down, in radians; heading from 0 to 2 pi;
// rotation about X positive pitching down, about Y yawing right, about Z
// rolling left.
void K2FromXPlane(const double (&values)[kXPlaneValueCount], double (&k2)[kK2FieldCount]);

// An acceleration in X-Plane's local frame turned into the aircraft's axes
// forward, right, down, by heading psi, pitch theta and bank phi (radians,
// applied in that order), and back.
void ForwardRightDown(const double (&local)[3], double psi, double theta, double phi, double (&body)[3]);
void LocalFrame(const double (&body)[3], double psi, double theta, double phi, double (&local)[3]);
