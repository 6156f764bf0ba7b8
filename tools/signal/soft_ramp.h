#pragma once

// The soft start and stop: a level from 0 to 1 by which the whole signal,
// offset included, is scaled. It rises from 0 at the start to 1 over the ramp;
// after a stop it falls from the level it had reached, at the same slope,
// to 0. A ramp of 0 seconds is no ramp: the level is 1 until the stop and 0
// from then on. The way down can be made shorter on the way (HastenAt).

class SoftRamp {
public:
    explicit SoftRamp(double ramp_seconds) : ramp_(ramp_seconds), fall_(ramp_seconds) {}

    // Starts the way down at t seconds after the start; later calls change nothing.
    void StopAt(double t);
    bool Stopping() const { return stopping_; }

    // Makes the way down take at most `longest` seconds from t: from the
    // level at t it falls at the steeper of its slope so far and 1 per
    // `longest` seconds. Starts the way down at t first, if it has not begun.
    // Later calls to Level and Down ask for t or later.
    void HastenAt(double t, double longest);

    // The level at t seconds after the start.
    double Level(double t) const;

    // True once the level has come down to 0 after a stop.
    bool Down(double t) const;

private:
    double Rising(double t) const;

    double ramp_;
    double fall_; // seconds to fall from 1 to 0 after the stop
    bool stopping_ = false;
    double stop_at_ = 0.0;
    double level_at_stop_ = 1.0;
};
