#pragma once

#include "plugin_state.h"

#include <gtest/gtest.h>

// A snapshot as Clear leaves it: counter, time and all 30 trace entries 0.
inline void ExpectClearedSnapshot(const TelemetrySnapshot& s)
{
    EXPECT_EQ(s.counter, 0u);
    EXPECT_EQ(s.time, 0.0);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(s.trace[i].x, 0.0) << i;
        EXPECT_EQ(s.trace[i].y, 0.0) << i;
        EXPECT_EQ(s.trace[i].z, 0.0) << i;
    }
}
