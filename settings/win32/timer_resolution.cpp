#include "timer_resolution.h"

#include <windows.h>
#include <timeapi.h>

void UseMillisecondTimers()
{
    timeBeginPeriod(1);
}
