#include "gap_stats.h"

#include <cmath>

namespace {

// Gaps and limits are never negative; a clock that stepped back counts as 0.
std::uint64_t Microseconds(double seconds)
{
    if (!(seconds > 0.0))
        return 0;
    return static_cast<std::uint64_t>(std::llround(seconds * 1e6));
}

} // namespace

void GapStats::Add(double arrival_seconds)
{
    if (arrivals_++ == 0) {
        first_ = last_ = arrival_seconds;
        return;
    }
    const double gap = arrival_seconds - last_;
    last_ = arrival_seconds;
    if (histogram_.Count() == 0 || gap < smallest_)
        smallest_ = gap;
    if (histogram_.Count() == 0 || gap > largest_)
        largest_ = gap;
    histogram_.Add(Microseconds(gap));
    const double delta = gap - mean_;
    mean_ += delta / static_cast<double>(histogram_.Count());
    squares_ += delta * (gap - mean_);
}

double GapStats::Percentile(unsigned percent) const
{
    if (histogram_.Count() == 0)
        return 0.0;
    // The bucket's lower end can lie below the smallest gap; never report less.
    const double value = static_cast<double>(histogram_.Percentile(percent)) / 1e6;
    return value < smallest_ ? smallest_ : value;
}

double GapStats::Median() const
{
    return Percentile(50);
}

double GapStats::Percentile99() const
{
    return Percentile(99);
}

double GapStats::Jitter() const
{
    if (histogram_.Count() == 0)
        return 0.0;
    return std::sqrt(squares_ / static_cast<double>(histogram_.Count()));
}

std::uint64_t GapStats::Stalls() const
{
    if (histogram_.Count() == 0)
        return 0;
    return histogram_.CountAbove(Microseconds(StallLimit()));
}

double GapStats::LongestStall() const
{
    return Stalls() > 0 ? largest_ : 0.0;
}
