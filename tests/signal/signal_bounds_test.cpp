// How far a signal may reach: the exact refusals, which say what to do, and
// the degrees shown for angles and rates.
#include "signal_bounds.h"

#include <gtest/gtest.h>

namespace {

TEST(SignalBounds, TheRefusalsSayWhatToDo)
{
    struct Case {
        SignalFormat format;
        const char* axis;
        double amplitude;
        double offset;
        bool force;
        const char* error;
    };
    const Case cases[] = {
        {SignalFormat::K01, "pitch", 30, 0, false,
         "--amplitude 30 with --offset 0 reaches 30 rad on K01 pitch, which is 1719 degrees (amplitudes and offsets "
         "are in radians; 5 degrees is 0.087): beyond pi (3.14159) rad, more than any flight sends, so not even "
         "--force sends it"},
        {SignalFormat::K01, "pitch", 0.5, 0, false,
         "--amplitude 0.5 with --offset 0 reaches 0.5 rad on K01 pitch, which is 29 degrees (amplitudes and offsets "
         "are in radians; 5 degrees is 0.087): beyond 0.35 rad, the gentle bound for bring-up; add --force to send it "
         "anyway, up to pi (3.14159) rad"},
        {SignalFormat::K01, "bank", 0.06, -0.3, false,
         "--amplitude 0.06 with --offset -0.3 reaches 0.36 rad on K01 bank, which is 21 degrees (amplitudes and "
         "offsets are in radians; 5 degrees is 0.087): beyond 0.35 rad, the gentle bound for bring-up; add --force "
         "to send it anyway, up to 3.0 rad"},
        {SignalFormat::K2, "rotation_velocity_body_y", 10, -2, true,
         "--amplitude 10 with --offset -2 reaches 12 rad/s on K2 rotation_velocity_body_y, which is 688 degrees a "
         "second (rates are in radians a second; 5 degrees a second is 0.087): beyond 2 pi (6.28319) rad/s, more "
         "than any flight sends, so not even --force sends it"},
        {SignalFormat::K01, "velocity_x", 30, 0, false,
         "--amplitude 30 with --offset 0 reaches 30 m/s on K01 velocity_x: beyond 20 m/s, the gentle bound for "
         "bring-up; add --force to send it anyway, up to 350 m/s"},
        {SignalFormat::K2, "acceleration_body_y", -400, 0, true,
         "--amplitude -400 with --offset 0 reaches 400 m/s^2 on K2 acceleration_body_y: beyond 100 m/s^2, more than "
         "any flight sends, so not even --force sends it; check that it is in m/s^2"},
    };
    for (const Case& c : cases) {
        const SignalField* field = FindSignalField(c.format, c.axis);
        ASSERT_NE(field, nullptr) << c.axis;
        EXPECT_EQ(BoundsError(*field, c.amplitude, c.offset, c.force), c.error);
    }
}

} // namespace
