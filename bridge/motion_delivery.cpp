#include "motion_delivery.h"

#include "clock.h"
#include "k2_datagram.h"
#include "microsecond_clock.h"

#include <cstdio>

namespace {

// Program-wide: it outlives every connection, and so does its first-datagram flag.
MicrosecondClock motion_clock{PerformanceCounter{&ReadCounterFrequency, &ReadCounter}};

} // namespace

void CalibrateMotionClock()
{
    motion_clock.Calibrate();
}

void DeliverMotion(Delivery& delivery, const double (&values)[kK2FieldCount])
{
    std::uint8_t datagram[kK2Size];
    EncodeK2(motion_clock.TimeField(), values, datagram);
    const bool sent = delivery.Send(datagram, static_cast<std::int32_t>(kK2Size));
    // Flushed at once, so that a person watching sees each delivery as it
    // happens: "." when a destination took the datagram, "x" when none did.
    std::fputs(sent ? "." : "x", stdout);
    std::fflush(stdout);
}
