#include "timer_resolution.h"

void RaiseTimerResolution() {}
