// The plug-in's process-wide objects. They live in this one file because
// their construction order at load, and so the reverse order at unload, is
// part of the plug-in's contract: within one file it is the order below.

#include "message_catalogue.h"
#include "monitor_thread.h"
#include "telemetry_snapshot.h"

std::thread monitor_thread;
const std::vector<MessageCatalogueEntry> MessageCatalogue = BuildMessageCatalogue();
TelemetrySnapshot telemetry_snapshot;
std::mutex snapshot_mutex;
