// The telemetry snapshot as the plug-in's state keeps it: recording,
// clearing, wrapping, and whole copies while another thread records.

#include "plugin_state.h"
#include "snapshot_expectations.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

Vector3d Velocity(double n)
{
    Vector3d v;
    v.x = n;
    v.y = -n;
    v.z = n / 2;
    return v;
}

} // namespace

TEST(TelemetrySnapshot, ZeroWhenNewAndAfterClear)
{
    PluginState state;
    ExpectClearedSnapshot(state.CopyOut());
    for (int i = 1; i <= 40; ++i)
        state.RecordFrame(i * 0.25, Velocity(i));
    state.Clear();
    ExpectClearedSnapshot(state.CopyOut());
}

TEST(TelemetrySnapshot, OneRecordingFillsTheNewestEntryOnly)
{
    PluginState state;
    state.RecordFrame(12.5, Velocity(3.0));
    const TelemetrySnapshot s = state.CopyOut();
    EXPECT_EQ(s.counter, 1u);
    EXPECT_EQ(s.time, 12.5);
    EXPECT_EQ(s.trace[0].x, 3.0);
    EXPECT_EQ(s.trace[0].y, -3.0);
    EXPECT_EQ(s.trace[0].z, 1.5);
    for (int i = 1; i < 30; ++i) {
        EXPECT_EQ(s.trace[i].x, 0.0) << i;
        EXPECT_EQ(s.trace[i].y, 0.0) << i;
        EXPECT_EQ(s.trace[i].z, 0.0) << i;
    }
}

TEST(TelemetrySnapshot, ThirtyOneRecordingsDropTheFirst)
{
    PluginState state;
    for (int i = 1; i <= 31; ++i)
        state.RecordFrame(i * 0.1, Velocity(i));
    const TelemetrySnapshot s = state.CopyOut();
    EXPECT_EQ(s.counter, 31u);
    EXPECT_EQ(s.time, 31 * 0.1);
    for (int i = 0; i < 30; ++i) {
        // Entry i holds the (i+1)-th most recent frame: frame 31 - i.
        EXPECT_EQ(s.trace[i].x, 31.0 - i) << i;
        EXPECT_EQ(s.trace[i].y, -(31.0 - i)) << i;
        EXPECT_EQ(s.trace[i].z, (31.0 - i) / 2) << i;
    }
}

TEST(TelemetrySnapshot, CounterWrapsToZero)
{
    TelemetrySnapshot s;
    s.counter = 4294967295u;
    s.Record(1.0, Velocity(1.0));
    EXPECT_EQ(s.counter, 0u);
    s.Record(2.0, Velocity(2.0));
    EXPECT_EQ(s.counter, 1u);
}

TEST(TelemetrySnapshot, CopiesTakenDuringRecordingAreNeverTorn)
{
    // Frame n carries time n and velocity (n, -n, n/2), so a whole copy has
    // counter == time and trace[i] from frame counter - i (or zero before frame 1).
    constexpr int kFrames = 20000;
    PluginState state;
    std::atomic<bool> reading{false};
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        while (!reading)
            std::this_thread::yield();
        for (int n = 1; n <= kFrames; ++n) {
            state.RecordFrame(n, Velocity(n));
            std::this_thread::yield(); // A host records once per frame, not back to back.
        }
        writing = false;
    });

    long copies = 0;
    long torn = 0;
    long mid_flight = 0;
    bool last_pass = false;
    while (!last_pass) {
        last_pass = !writing;
        const TelemetrySnapshot s = state.CopyOut();
        reading = true;
        ++copies;
        if (s.counter > 0 && s.counter < static_cast<std::uint32_t>(kFrames))
            ++mid_flight;
        bool whole = s.time == static_cast<double>(s.counter);
        for (int i = 0; i < 30 && whole; ++i) {
            const double n = s.counter > static_cast<std::uint32_t>(i) ? static_cast<double>(s.counter) - i : 0.0;
            whole = s.trace[i].x == n && s.trace[i].y == -n && s.trace[i].z == n / 2;
        }
        if (!whole)
            ++torn;
        std::this_thread::yield();
    }
    writer.join();

    EXPECT_EQ(torn, 0) << "of " << copies << " copies";
    EXPECT_EQ(state.CopyOut().counter, static_cast<std::uint32_t>(kFrames));
    // Without copies taken while the writer was at work, nothing was tested.
    EXPECT_GT(mid_flight, 100) << "of " << copies << " copies";
}
