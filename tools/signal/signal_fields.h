#pragma once

// The fields kinemora-signal can move, every float of K01 and K2, with two
// bounds on |offset| + |amplitude|: beyond the gentle one a signal wants
// --force, beyond the extreme one (which no flight exceeds) nothing is sent.
// The texts are how --list-axes shows them.

#include "motion_fields.h"

#include <cstddef>
#include <string>

using SignalFormat = DatagramFormat;

struct SignalField : MotionField {
    double gentle;
    const char* gentle_text;
    double extreme;
    const char* extreme_text;
};

// The fields of one format in wire order.
const SignalField* SignalFieldsOf(SignalFormat format, std::size_t& count);

// The field that --axis names in that format, or null.
const SignalField* FindSignalField(SignalFormat format, const std::string& name);

// "velocity_x, velocity_y, ..." for the messages.
std::string FieldNames(SignalFormat format);
