#pragma once

// The K2 clock's counter over std::chrono::steady_clock, the monotonic clock
// that paces the datagrams, so that both read the same time.

#include "microsecond_clock.h"

PerformanceCounter SteadyCounter();
