// The plug-in's process-wide objects. They live in this one file because
// their construction order at load, and so the reverse order at unload, is
// part of the plug-in's contract: within one file it is the order below, and
// within plugin_state the snapshot comes before its mutex.
#include "plugin_state.h"

#include "message_catalogue.h"
#include "monitor_thread.h"

std::thread monitor_thread;
const std::vector<MessageCatalogueEntry> MessageCatalogue = BuildMessageCatalogue();
PluginState plugin_state;

bool PluginState::TakeFirstDatagram()
{
    const bool first = first_datagram_ != 0;
    first_datagram_ = 0;
    return first;
}

void PluginState::Clear()
{
    std::lock_guard<std::mutex> lock(snapshot_mutex);
    telemetry_snapshot = TelemetrySnapshot();
}

void PluginState::RecordFrame(double time, const Vector3d& velocity)
{
    std::lock_guard<std::mutex> lock(snapshot_mutex);
    telemetry_snapshot.Record(time, velocity);
}

TelemetrySnapshot PluginState::CopyOut() const
{
    std::lock_guard<std::mutex> lock(snapshot_mutex);
    return telemetry_snapshot;
}
