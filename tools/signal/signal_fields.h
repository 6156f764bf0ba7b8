#pragma once

// The fields kinemora-signal can move: every float of K01 and K2, as
// net/motion_fields.h gives them, with the name kinemora-listen prints, the
// unit and meaning docs/protocol.md gives them, and the gentle and extreme
// bounds on |offset| + |amplitude|.

#include "motion_fields.h"

#include <string>

using SignalFormat = DatagramFormat;
using SignalField = MotionField;

// The field that --axis names in that format, or null.
const SignalField* FindField(SignalFormat format, const std::string& name);

// "velocity_x, velocity_y, ..." for the messages.
std::string FieldNames(SignalFormat format);
