// How long the way down may take after each request to stop.
#include "stop_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(SignalStopRule, TheWayDownIsShortenedButNeverAStepUnlessTheRampIsZero)
{
    struct Case {
        double ramp;
        double rate;
        int requests;
        bool ending_soon;
        double longest;
    };
    const Case cases[] = {
        {1, 60, 1, false, 1},       // Ctrl+C: the whole ramp
        {60, 60, 1, false, 60},
        {1, 60, 2, false, 0.25},    // Ctrl+C again: a quarter second
        {60, 1000, 5, false, 0.25},
        {0.1, 60, 2, false, 0.1},   // already shorter
        {0, 60, 1, false, 0},       // --ramp 0: the zeros next
        {0, 60, 2, true, 0},
        {10, 60, 1, true, 3},       // the window closes: 3 s
        {10, 2, 1, true, 3},        // zeros at most 3 s + 2 datagrams later: by 4 s
        {10, 1, 1, true, 2},        // one a second: 2 s + 2 datagrams
        {1, 60, 1, true, 1},
        {10, 60, 2, true, 0.25},    // closing and Ctrl+C again
    };
    for (const Case& c : cases)
        EXPECT_EQ(LongestWayDown(c.ramp, c.rate, c.requests, c.ending_soon), c.longest)
            << "ramp " << c.ramp << ", rate " << c.rate << ", request " << c.requests << ", ending " << c.ending_soon;
}

} // namespace
