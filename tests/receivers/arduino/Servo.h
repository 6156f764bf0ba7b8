// Test stand-in for Arduino's Servo library, which Debian does not package:
// logs every pulse length the sketch sets, with the time in milliseconds,
// on the serial console ("servo=1500 t=0"), where the test reads it.
#pragma once

#include <Arduino.h>

class Servo {
public:
    uint8_t attach(int pin)
    {
        Serial.print(F("servo on pin "));
        Serial.println(pin);
        return 1;
    }

    void writeMicroseconds(int us)
    {
        Serial.print(F("servo="));
        Serial.print(us);
        Serial.print(F(" t="));
        Serial.println(millis());
    }
};
