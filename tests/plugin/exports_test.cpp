// The exports as the host calls them. Nothing here calls Update with records:
// that would broadcast, which only the end-to-end tests do, in their private
// network.
#include "exports.h"
#include "plugin_state.h"
#include "snapshot_expectations.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Exports, InitClearsTheSnapshotWhateverItsArgument)
{
    for (const void* argument : {static_cast<const void*>(nullptr),
                                 reinterpret_cast<const void*>(~static_cast<std::uintptr_t>(0))}) {
        for (int i = 1; i <= 31; ++i)
            plugin_state.RecordFrame(i * 0.5, Vector3d{1.0 * i, -2.0, 3.0});
        EXPECT_TRUE(Aerofly_FS_2_External_DLL_Init(argument));
        ExpectClearedSnapshot(plugin_state.CopyOut());
    }
}

TEST(Exports, AFrameWithoutRecordsSendsNothingAndRecordsNothing)
{
    plugin_state.RecordFrame(7.0, Vector3d{1.0, 2.0, 3.0});
    const TelemetrySnapshot before = plugin_state.CopyOut();
    Aerofly_FS_2_External_DLL_Update(0.016, nullptr, 0, 5);
    const std::uint8_t nothing[1] = {0};
    Aerofly_FS_2_External_DLL_Update(0.016, nothing, 0, 0);
    const TelemetrySnapshot after = plugin_state.CopyOut();
    EXPECT_EQ(after.counter, before.counter);
    EXPECT_EQ(after.time, before.time);
}
