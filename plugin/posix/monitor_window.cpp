// The monitor where there is no window system: there is nothing to start or
// stop. The frame path keeps the snapshot all the same; nothing draws it.
#include "monitor.h"

void* module_handle = nullptr;

void StartMonitor()
{
}

void StopMonitor()
{
}

bool MonitorRunning()
{
    return false;
}

void ReleaseMonitorAtUnload()
{
}
