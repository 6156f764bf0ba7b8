#pragma once

// How far a signal may reach on its field: within the gentle bound it goes
// out; beyond it only with --force, and never beyond the extreme bound, which
// no flight exceeds. |offset| + |amplitude| is what is compared.

#include "signal_fields.h"

#include <string>

// The one-line refusal of a signal with this amplitude and offset on the
// field, which says what to do instead; "" when it may go out. An angle or
// an angular rate over the gentle bound is shown in degrees as well, since a
// value typed in degrees is the likeliest mistake.
std::string BoundsError(const SignalField& field, double amplitude, double offset, bool force);
