// The four functions the host looks up by name.
#include "exports.h"

#include "clock.h"
#include "motion_frame.h"
#include "plugin_settings.h"
#include "plugin_state.h"

#include <cstdint>

extern "C" {

std::int64_t AEROFLY_EXPORT(GetInterfaceVersion)()
{
    return 2;
}

bool AEROFLY_EXPORT(Init)(const void* /*host_value*/)
{
    plugin_state.Clear();
    try {
        ApplyPluginSettings();
    } catch (...) {
        // Out of memory while reading the settings: what was applied stays.
    }
    return true;
}

void AEROFLY_EXPORT(Update)(double /*delta_time*/, const std::uint8_t* message_list_received_byte_stream,
                            std::int32_t /*host_value*/, std::uint32_t message_list_received_count)
{
    try {
        PluginReport* report = plugin_state.report.get();
        if (report == nullptr) {
            RunFrame(plugin_state, message_list_received_byte_stream, message_list_received_count, SendPluginDatagram);
            return;
        }
        const std::int64_t begin = ReadCounter();
        RunFrame(plugin_state, message_list_received_byte_stream, message_list_received_count, SendPluginDatagram);
        report->Frame(plugin_state.MessageListStorage(), begin, ReadCounter(), plugin_state.delivery);
    } catch (...) {
        // Out of memory for the frame's list: the frame is lost, the simulator goes on.
    }
}

void AEROFLY_EXPORT(Shutdown)()
{
    try {
        EndPluginSettings();
    } catch (...) {
        // Out of memory for the log's last line: nothing else is at stake.
    }
}

} // extern "C"
