#include "soft_ramp.h"

namespace {

// Times are computed as n / rate, so a level meant to be exactly 0 may come
// out a rounding error above it.
constexpr double kNothingLeft = 1e-9;

} // namespace

double SoftRamp::Rising(double t) const
{
    if (ramp_ <= 0.0 || t >= ramp_)
        return 1.0;
    return t > 0.0 ? t / ramp_ : 0.0;
}

void SoftRamp::StopAt(double t)
{
    if (stopping_)
        return;
    stopping_ = true;
    stop_at_ = t;
    level_at_stop_ = Rising(t);
}

void SoftRamp::HastenAt(double t, double longest)
{
    StopAt(t);
    if (longest >= fall_)
        return;
    level_at_stop_ = Level(t);
    stop_at_ = t;
    fall_ = longest;
}

double SoftRamp::Level(double t) const
{
    if (!stopping_ || t < stop_at_)
        return Rising(t);
    if (fall_ <= 0.0)
        return 0.0;
    const double level = level_at_stop_ - (t - stop_at_) / fall_;
    return level > kNothingLeft ? level : 0.0;
}

bool SoftRamp::Down(double t) const
{
    return stopping_ && t >= stop_at_ && Level(t) == 0.0;
}
