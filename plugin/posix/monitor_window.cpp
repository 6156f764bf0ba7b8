// The monitor where there is no window system: StartMonitor and StopMonitor
// do nothing. The frame path keeps the snapshot all the same; nothing draws it.
#include "monitor.h"

void StartMonitor()
{
}

void StopMonitor()
{
}
