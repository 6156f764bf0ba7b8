#pragma once

// The datagrams of one run, in order: datagram n carries the signal at
// n / rate seconds after the start, scaled by the soft start and stop, and
// the run ends with one datagram in which every field is 0. The time field
// follows the deliverable whose format it is: K01 the signal's seconds since
// the start (0 first), K2 the bridge's MicrosecondClock over the counter
// given (0 first, 0 again on the first datagram more than 10 s after the
// clock's last start).

#include "microsecond_clock.h"
#include "signal_datagram.h"
#include "signal_fields.h"
#include "signal_wave.h"
#include "soft_ramp.h"

#include <cstdint>

struct SignalSettings {
    SignalFormat format = SignalFormat::K01;
    const SignalField* field = nullptr; // of the format; never null in a run
    Wave wave;
    double rate = 60.0;     // datagrams per second
    double ramp = 1.0;      // seconds of soft start and of soft stop; 0 for none
    double duration = 0.0;  // seconds before the soft stop begins; 0 to run until stopped
};

class SignalStream {
public:
    SignalStream(const SignalSettings& settings, PerformanceCounter counter);

    // Takes the K2 clock's start; call it at the start, before the first datagram.
    void Start();

    // Seconds after the start at which the next datagram is due.
    double NextDue() const;

    // Begins the soft stop at the next datagram (Ctrl+C).
    void Stop();
    // Begins the soft stop at the next datagram, if it has not begun, and
    // makes the way down take at most `longest` seconds from there (a second
    // Ctrl+C, a console that closes). 0 makes the next datagram the zeros.
    void Hasten(double longest);
    bool Stopping() const { return ramp_.Stopping(); }

    // The next datagram. The one of zeros is the last: Finished() is true after it.
    SignalDatagram Next();
    bool Finished() const { return finished_; }

    // Datagrams made so far.
    std::uint64_t Count() const { return count_; }

    // The value of the moving field at t seconds after the start, soft start
    // and stop applied (what Next sends there, before the narrowing to a float).
    double ValueAt(double t) const;

private:
    SignalSettings settings_;
    SoftRamp ramp_;
    MicrosecondClock clock_;
    std::uint64_t count_ = 0;
    bool finished_ = false;
};
