#pragma once

// The plug-in's state from load to unload, in one object: the first-datagram
// flag, the telemetry snapshot and snapshot_mutex, the plug-in's only lock,
// and where its datagrams go. Update and Init run on the host's thread; the
// monitor reads the snapshot on its own. Tests make states of their own.

#include "delivery.h"
#include "plugin_report.h"
#include "telemetry_snapshot.h"
#include "tm_external_message.h"

#include <cstdint>
#include <mutex>
#include <vector>

class PluginState {
public:
    // True for the first datagram after load, false ever after. No lock: the
    // host never runs two Updates at once.
    bool TakeFirstDatagram();

    // Zeroes the snapshot, under snapshot_mutex: a monitor may be reading.
    void Clear();
    // Records one frame under snapshot_mutex (TelemetrySnapshot::Record).
    void RecordFrame(double time, const Vector3d& velocity);
    // A complete copy, taken under snapshot_mutex.
    TelemetrySnapshot CopyOut() const;

    // Storage for a frame's decoded records, kept from frame to frame so that
    // a frame allocates nothing once the list has grown. Update's alone.
    std::vector<tm_external_message>& MessageListStorage() { return message_list_storage_; }

    // The destinations and the log that the settings file set up. The host's
    // thread alone touches it: Init, Update and Shutdown.
    Delivery delivery;
    // The report, while the settings file asks for one; null otherwise.
    std::unique_ptr<PluginReport> report;

private:
    std::uint8_t first_datagram_ = 1;
    TelemetrySnapshot telemetry_snapshot;
    mutable std::mutex snapshot_mutex;
    std::vector<tm_external_message> message_list_storage_;
};

// The plug-in's one state, constructed at load after the monitor's thread
// object and the message catalogue (plugin_state.cpp).
extern PluginState plugin_state;
