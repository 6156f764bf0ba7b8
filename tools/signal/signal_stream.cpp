#include "signal_stream.h"

SignalStream::SignalStream(const SignalSettings& settings, PerformanceCounter counter)
    : settings_(settings), ramp_(settings.ramp), clock_(counter)
{
}

void SignalStream::Start()
{
    clock_.Calibrate();
}

double SignalStream::NextDue() const
{
    return static_cast<double>(count_) / settings_.rate;
}

void SignalStream::Stop()
{
    ramp_.StopAt(NextDue());
}

void SignalStream::Hasten(double longest)
{
    ramp_.HastenAt(NextDue(), longest);
}

double SignalStream::ValueAt(double t) const
{
    const double value = ramp_.Level(t) * WaveValue(settings_.wave, t);
    // A level of 0 times a negative value is -0, whose sign bit would reach
    // the wire; the rig gets a plain 0.
    return value == 0.0 ? 0.0 : value;
}

SignalDatagram SignalStream::Next()
{
    const double t = NextDue();
    if (settings_.duration > 0.0 && t >= settings_.duration)
        ramp_.StopAt(settings_.duration);
    const bool zeros = ramp_.Down(t);
    const double value = zeros ? 0.0 : ValueAt(t);

    ++count_;
    finished_ = zeros;
    if (settings_.format == SignalFormat::K01)
        return K01SignalDatagram(*settings_.field, value, t);
    return K2SignalDatagram(*settings_.field, value, clock_.TimeField());
}
