// The telemetry snapshot: recording, clearing, wrapping, and whole copies
// while another thread records.

#include "telemetry_snapshot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The process-wide snapshot as static initialisation left it, before any test ran.
const TelemetrySnapshot kAtLoad = telemetry_snapshot.CopyOut();

void ExpectAllZero(const TelemetrySnapshot& s)
{
    EXPECT_EQ(s.counter, 0u);
    EXPECT_EQ(s.time, 0.0);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(s.trace[i].x, 0.0) << i;
        EXPECT_EQ(s.trace[i].y, 0.0) << i;
        EXPECT_EQ(s.trace[i].z, 0.0) << i;
    }
}

Vector3d Velocity(double n)
{
    Vector3d v;
    v.x = n;
    v.y = -n;
    v.z = n / 2;
    return v;
}

} // namespace

TEST(TelemetrySnapshot, ZeroAtLoadAndWhenNew)
{
    ExpectAllZero(kAtLoad);
    ExpectAllZero(TelemetrySnapshot());
}

TEST(TelemetrySnapshot, ClearZeroesEveryField)
{
    for (int i = 1; i <= 40; ++i)
        telemetry_snapshot.RecordFrame(i * 0.25, Velocity(i));
    telemetry_snapshot.Clear();
    ExpectAllZero(telemetry_snapshot.CopyOut());
}

TEST(TelemetrySnapshot, OneRecordingFillsTheNewestEntryOnly)
{
    telemetry_snapshot.Clear();
    telemetry_snapshot.RecordFrame(12.5, Velocity(3.0));
    const TelemetrySnapshot s = telemetry_snapshot.CopyOut();
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
    telemetry_snapshot.Clear();
    for (int i = 1; i <= 31; ++i)
        telemetry_snapshot.RecordFrame(i * 0.1, Velocity(i));
    const TelemetrySnapshot s = telemetry_snapshot.CopyOut();
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
    telemetry_snapshot.Clear();
    telemetry_snapshot.counter = 4294967295u;
    telemetry_snapshot.RecordFrame(1.0, Velocity(1.0));
    EXPECT_EQ(telemetry_snapshot.CopyOut().counter, 0u);
    telemetry_snapshot.RecordFrame(2.0, Velocity(2.0));
    EXPECT_EQ(telemetry_snapshot.CopyOut().counter, 1u);
}

TEST(TelemetrySnapshot, CopiesTakenDuringRecordingAreNeverTorn)
{
    // Frame n carries time n and velocity (n, -n, n/2), so a whole copy has
    // counter == time and trace[i] from frame counter - i (or zero before frame 1).
    constexpr int kFrames = 20000;
    telemetry_snapshot.Clear();
    std::atomic<bool> reading{false};
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        while (!reading)
            std::this_thread::yield();
        for (int n = 1; n <= kFrames; ++n) {
            telemetry_snapshot.RecordFrame(n, Velocity(n));
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
        const TelemetrySnapshot s = telemetry_snapshot.CopyOut();
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
    EXPECT_EQ(telemetry_snapshot.CopyOut().counter, static_cast<std::uint32_t>(kFrames));
    // Without copies taken while the writer was at work, nothing was tested.
    EXPECT_GT(mid_flight, 100) << "of " << copies << " copies";
}
