// The four functions the host looks up by name. None of them reports a
// failure, and none lets an exception reach the host.
#include "broadcast_sender.h"
#include "motion_frame.h"
#include "telemetry_snapshot.h"

#include <cstdint>

extern "C" {

// 64 bits wide, so the value reads 2 whether the host takes 32 or 64 bits.
std::int64_t Aerofly_FS_2_External_DLL_GetInterfaceVersion()
{
    return 2;
}

bool Aerofly_FS_2_External_DLL_Init(const void* /*host_value*/)
{
    telemetry_snapshot.Clear();
    return true;
}

void Aerofly_FS_2_External_DLL_Update(double /*delta_time*/, const std::uint8_t* message_list_received_byte_stream,
                                      std::int32_t /*host_value*/, std::uint32_t message_list_received_count)
{
    try {
        RunFrame(message_list_received_byte_stream, message_list_received_count, BroadcastSender);
    } catch (...) {
        // Out of memory for the frame's list: the frame is lost, the simulator goes on.
    }
}

void Aerofly_FS_2_External_DLL_Shutdown()
{
}

} // extern "C"
