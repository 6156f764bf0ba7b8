// The four functions the host looks up by name.
#include "exports.h"

#include "broadcast_sender.h"
#include "motion_frame.h"
#include "socket_startup.h"
#include "plugin_state.h"

#include <cstdint>

namespace {

// A host that never started Windows Sockets would lose every datagram, so the
// plug-in starts it itself, once, before its first send (DllMain must not).
// Where the host did start it, this only raises Windows' own count. Nothing
// cleans it up: frames may come until the process ends.
void SendDatagram(const void* data, std::int32_t length)
{
    static const bool sockets_started = (StartSockets(), true);
    (void)sockets_started;
    BroadcastSender(data, length);
}

} // namespace

extern "C" {

std::int64_t Aerofly_FS_2_External_DLL_GetInterfaceVersion()
{
    return 2;
}

bool Aerofly_FS_2_External_DLL_Init(const void* /*host_value*/)
{
    plugin_state.Clear();
    return true;
}

void Aerofly_FS_2_External_DLL_Update(double /*delta_time*/, const std::uint8_t* message_list_received_byte_stream,
                                      std::int32_t /*host_value*/, std::uint32_t message_list_received_count)
{
    try {
        RunFrame(plugin_state, message_list_received_byte_stream, message_list_received_count, SendDatagram);
    } catch (...) {
        // Out of memory for the frame's list: the frame is lost, the simulator goes on.
    }
}

void Aerofly_FS_2_External_DLL_Shutdown()
{
}

} // extern "C"
