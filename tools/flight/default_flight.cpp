#include "default_flight.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGravity = 9.80665;           // metres per second squared
constexpr double kRunwayHeading = 1.2;         // radians
constexpr double kTouchdown = 263.0;           // seconds into the flight
constexpr double kDerivativeStep = 0.005;      // seconds, for the rates

// 0 before start, 1 after start + duration, a smooth S in between.
double Blend(double t, double start, double duration)
{
    const double x = (t - start) / duration;
    if (x <= 0.0)
        return 0.0;
    if (x >= 1.0)
        return 1.0;
    return x * x * (3.0 - 2.0 * x);
}

// Its derivative with respect to t.
double BlendRate(double t, double start, double duration)
{
    const double x = (t - start) / duration;
    if (x <= 0.0 || x >= 1.0)
        return 0.0;
    return 6.0 * x * (1.0 - x) / duration;
}

// Airspeed along the flight path, metres per second.
double Speed(double t)
{
    return 70.0 * Blend(t, 10.0, 30.0)       // take-off roll
           + 10.0 * Blend(t, 40.0, 60.0)     // climb
           - 18.0 * Blend(t, 210.0, 40.0)    // descent and approach
           - 62.0 * Blend(t, kTouchdown, 25.0); // roll-out to a stop
}

double Pitch(double t)
{
    return 0.17 * Blend(t, 36.0, 4.0)        // rotation
           - 0.12 * Blend(t, 90.0, 10.0)     // level-off
           - 0.10 * Blend(t, 205.0, 10.0)    // descent
           + 0.13 * Blend(t, 255.0, 8.0)     // flare
           - 0.08 * Blend(t, kTouchdown, 5.0); // nose down on the runway
}

// The turns add up to a full circle, so the flight ends on its start heading.
double HeadingRate(double t)
{
    return -0.5 * kPi * BlendRate(t, 100.0, 30.0)
           + kPi * BlendRate(t, 150.0, 50.0)
           - 0.5 * kPi * BlendRate(t, 215.0, 20.0);
}

double Heading(double t)
{
    const double h = kRunwayHeading - 0.5 * kPi * Blend(t, 100.0, 30.0) + kPi * Blend(t, 150.0, 50.0) -
                     0.5 * kPi * Blend(t, 215.0, 20.0);
    const double wrapped = std::fmod(h, 2.0 * kPi);
    return wrapped < 0.0 ? wrapped + 2.0 * kPi : wrapped;
}

// A coordinated turn: the bank that makes the lift turn the aircraft at its heading rate.
double Bank(double t)
{
    return std::atan(Speed(t) * HeadingRate(t) / kGravity);
}

// Angle of attack: none on the ground, a few degrees in the air.
double AngleOfAttack(double t)
{
    return 0.06 * Blend(t, 36.0, 4.0) - 0.06 * Blend(t, kTouchdown, 2.0);
}

template <typename F>
double Rate(F f, double t)
{
    return (f(t + kDerivativeStep) - f(t - kDerivativeStep)) / (2.0 * kDerivativeStep);
}

} // namespace

FlightState DefaultFlight(double seconds)
{
    double t = std::fmod(seconds, kDefaultFlightSeconds);
    if (t < 0.0)
        t += kDefaultFlightSeconds;

    const double speed = Speed(t);
    const double bank = Bank(t);
    const double pitch_rate = Rate(Pitch, t);
    const double roll_rate = Rate(Bank, t);
    const double heading_rate = HeadingRate(t);
    const double alpha = AngleOfAttack(t);
    const double slip = 0.1 * roll_rate; // a little adverse yaw while rolling
    const double touchdown = 3.0 * std::exp(-std::pow((t - kTouchdown) / 0.25, 2.0));

    FlightState s;
    s.values[kVelocityBodyZ] = speed * std::cos(alpha) * std::cos(slip);
    s.values[kVelocityBodyX] = speed * std::sin(slip);
    s.values[kVelocityBodyY] = -speed * std::sin(alpha);
    s.values[kAccelerationBodyZ] = Rate(Speed, t);
    s.values[kAccelerationBodyX] = -speed * heading_rate * std::sin(slip);
    s.values[kAccelerationBodyY] = speed * (pitch_rate + heading_rate * std::sin(bank)) + touchdown;
    s.values[kBank] = bank;
    s.values[kPitch] = Pitch(t);
    s.values[kHeading] = Heading(t);
    s.values[kRotationVelocityBodyZ] = roll_rate;
    s.values[kRotationVelocityBodyX] = pitch_rate;
    s.values[kRotationVelocityBodyY] = heading_rate * std::cos(bank);
    s.values[kRateOfTurn] = heading_rate;
    return s;
}
