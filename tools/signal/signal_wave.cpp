#include "signal_wave.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.28318530717958647692;

// Where t stands in its period, from 0 up to (not including) 1.
double Phase(double t, double period)
{
    const double phase = std::fmod(t / period, 1.0);
    return phase < 0.0 ? phase + 1.0 : phase;
}

// sin(2 pi phase), from its first quarter by symmetry, so that the half
// periods come out exactly 0 and the quarters exactly 1 and -1.
double Sine(double phase)
{
    const double sign = phase < 0.5 ? 1.0 : -1.0;
    double quarter = phase < 0.5 ? phase : phase - 0.5; // exact: both in [0.5, 1)
    if (quarter > 0.25)
        quarter = 0.5 - quarter;
    return sign * std::sin(kTwoPi * quarter);
}

// The shape from -1 to 1 at a phase.
double Unit(Shape shape, double phase)
{
    switch (shape) {
    case Shape::Sine:
        return Sine(phase);
    case Shape::Square:
        return phase < 0.5 ? 1.0 : -1.0;
    case Shape::Triangle:
        if (phase < 0.25)
            return 4.0 * phase;
        if (phase < 0.75)
            return 2.0 - 4.0 * phase;
        return 4.0 * phase - 4.0;
    default:
        return 0.0;
    }
}

} // namespace

const char* ShapeName(Shape shape)
{
    switch (shape) {
    case Shape::Sine: return "sine";
    case Shape::Square: return "square";
    case Shape::Triangle: return "triangle";
    default: return "step";
    }
}

double WaveValue(const Wave& wave, double t)
{
    if (wave.shape == Shape::Step)
        return t < wave.period ? wave.offset : wave.offset + wave.amplitude;
    return wave.offset + wave.amplitude * Unit(wave.shape, Phase(t, wave.period));
}
