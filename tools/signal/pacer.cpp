#include "pacer.h"

double Pacer::Due(std::uint64_t n, double now)
{
    const double due = shift_ + static_cast<double>(n) / rate_;
    if (now - due <= kLongestCatchUp)
        return due;
    shift_ += now - due;
    ++stalls_;
    return now;
}
