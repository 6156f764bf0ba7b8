#pragma once

// The fields kinemora-signal can move: every float of K01 and K2, under the
// names kinemora-listen prints, with the unit and meaning docs/protocol.md
// gives them, and two bounds on |offset| + |amplitude|: the gentle one of a
// first test, beyond which a signal needs --force, and the extreme one that no
// flight exceeds, beyond which nothing is sent.

#include <cstddef>
#include <string>

enum class SignalFormat { K01, K2 };

struct SignalField {
    SignalFormat format;
    const char* name;       // as kinemora-listen prints it
    std::size_t slot;       // the float's place in the datagram, 0 first
    const char* unit;       // "m/s", "m/s^2", "rad" or "rad/s"
    const char* meaning;    // the axis, as docs/protocol.md describes it
    double gentle;            // |offset| + |amplitude| above this needs --force
    const char* gentle_text;  // as --list-axes shows it: "0.35", "20", ...
    double extreme;           // |offset| + |amplitude| above this is never sent
    const char* extreme_text; // as --list-axes shows it: "pi", "3.0", "350", ...
};

// "K01" or "K2".
const char* FormatName(SignalFormat format);

// The fields of one format in datagram order: nine for K01, twelve for K2.
const SignalField* FieldsOf(SignalFormat format, std::size_t& count);

// The field of that name in that format, or null.
const SignalField* FindField(SignalFormat format, const std::string& name);

// "velocity_x, velocity_y, ..." for the messages.
std::string FieldNames(SignalFormat format);
