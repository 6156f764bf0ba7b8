#pragma once

// The bridge's delivery step: one K2 datagram and one "." per delivery.

#include "delivery.h"
#include "motion_fields.h"

// Calibrates the program-wide MicrosecondClock on the system counter. Called
// once, before the first connection.
void CalibrateMotionClock();

// Takes the time field, builds the datagram from the delivered values in
// definition order, sends its 55 bytes to every destination and prints "."
// when at least one took it, "x" when none did.
void DeliverMotion(Delivery& delivery, const double (&values)[kK2FieldCount]);
