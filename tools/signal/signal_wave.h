#pragma once

// The test signal before the soft start and stop: a shape with an amplitude,
// a period and an offset, as a function of the seconds since the start.

enum class Shape { Sine, Square, Triangle, Step };

struct Wave {
    Shape shape = Shape::Sine;
    double amplitude = 0.0; // in the field's units
    double period = 4.0;    // seconds, above 0
    double offset = 0.0;    // in the field's units
};

// "sine", "square", "triangle" or "step".
const char* ShapeName(Shape shape);

// The value at t seconds after the start (t >= 0):
//   sine      offset + amplitude * sin(2 pi t / period)
//   square    offset + amplitude for the first half of each period, offset - amplitude for the second
//   triangle  like the sine's course, in straight lines: offset at 0, offset + amplitude at a
//             quarter period, offset at a half, offset - amplitude at three quarters
//   step      offset for the first period, offset + amplitude from then on
double WaveValue(const Wave& wave, double t);
