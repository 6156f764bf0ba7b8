#include "timer_resolution.h"

void UseMillisecondTimers() {}
