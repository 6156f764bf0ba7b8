#include "timer_resolution.h"

#include <windows.h>
#include <mmsystem.h>

// Windows restores the resolution when the process ends.
void RaiseTimerResolution()
{
    timeBeginPeriod(1);
}
