#pragma once

// One connection to the simulator, from open to close.

#include "relay_report.h"
#include "delivery.h"
#include "simconnect_api.h"

#include <cstdint>

// Opens a connection, registers data definition 0, subscribes to "SimStart",
// requests the data and pumps the dispatch every millisecond until the
// simulator quits or the connection breaks; then closes it. Returns at once,
// silently, when the connection cannot be opened. True when a connection was
// open and has ended. Each delivery goes out through delivery, and the log's
// lines of the connection go to its log; report, if given, hears of it all.
bool RunConnection(Delivery& delivery, RelayReport* report);

// The dispatch callback: routes one record (receive_record.h). Runs on the
// bridge's thread, inside SimConnect_CallDispatch.
void OnDispatch(SimConnectRecord* record, std::uint32_t size, void* context);
