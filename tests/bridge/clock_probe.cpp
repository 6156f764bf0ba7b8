// Test and benchmark helper: the bridge's MicrosecondClock on the real
// high-resolution counter, and what a 1 ms sleep lasts after the bridge's
// timer set-up. Sends nothing.
//
//   bridge_clock_probe [SLEEPS]    (default 200 sleeps of 1 ms)
#include "clock.h"
#include "timers.h"
#include "microsecond_clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const long sleeps = argc > 1 ? std::atol(argv[1]) : 200;
    if (sleeps < 1 || sleeps > 100000) {
        std::fprintf(stderr, "usage: bridge_clock_probe [SLEEPS from 1 to 100000]\n");
        return 2;
    }
    UseMillisecondTimers();

    MicrosecondClock clock{PerformanceCounter{&ReadCounterFrequency, &ReadCounter}};
    clock.Calibrate();
    const std::int64_t start = ReadCounter();
    std::printf("counter frequency: %lld ticks per second\n", static_cast<long long>(ReadCounterFrequency()));
    std::printf("first field: %lu\n", static_cast<unsigned long>(clock.TimeField()));
    SleepMilliseconds(200);
    const std::uint32_t field = clock.TimeField();
    const double measured = static_cast<double>(ReadCounter() - start) * 1e6 / static_cast<double>(ReadCounterFrequency());
    std::printf("field after a 200 ms sleep: %lu (counter: %.0f microseconds)\n", static_cast<unsigned long>(field),
                measured);

    std::vector<double> lasted;
    const double ticks_per_ms = static_cast<double>(ReadCounterFrequency()) / 1000.0;
    for (long i = 0; i < sleeps; ++i) {
        const std::int64_t before = ReadCounter();
        SleepMilliseconds(1);
        lasted.push_back(static_cast<double>(ReadCounter() - before) / ticks_per_ms);
    }
    std::sort(lasted.begin(), lasted.end());
    double sum = 0;
    for (double ms : lasted)
        sum += ms;
    std::printf("1 ms sleep over %ld sleeps: mean %.3f ms, median %.3f ms, 99th percentile %.3f ms, longest %.3f ms\n",
                sleeps, sum / static_cast<double>(lasted.size()), lasted[lasted.size() / 2],
                lasted[std::min(lasted.size() - 1, lasted.size() * 99 / 100)], lasted.back());
    return 0;
}
