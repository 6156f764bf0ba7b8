// Kinemora pitch to servo: a one-axis motion rig on an Arduino.
//
// Listens for Kinemora's motion datagrams on UDP port 50010 (K01 from the
// Aerofly FS 2 plug-in, K2 from the MSFS bridge) and tilts a servo with the
// aircraft's pitch: nose up, longer pulse. It does what docs/protocol.md asks
// of a receiver:
//   - only datagrams with the right length and lead-in count;
//   - a pitch that is not finite (NaN or infinity) is ignored;
//   - the servo never leaves its range, and moves at a limited speed;
//   - when nothing usable has arrived for 0.5 s, it eases back to rest.
//
// Hardware: an Arduino Uno with an Ethernet shield (W5100 or W5500, Arduino's
// Ethernet library) and a servo on pin 9, powered on its own supply.
// Before you build: copy include/kinemora/motion_datagram.h from the Kinemora
// repository into this sketch's folder, and set mac and ip below.
// On an ESP32: #include <WiFi.h>, use WiFiUDP instead of EthernetUDP and
// WiFi.begin(ssid, password) instead of Ethernet.begin; the rest stays.

#include <Ethernet.h>
#include <Servo.h>
#include <math.h>

#include "motion_datagram.h"

// The rig must be on the simulator PC's network: broadcasts are not routed.
byte mac[] = {0x02, 0x4b, 0x4d, 0x00, 0x00, 0x01};
IPAddress ip(192, 168, 1, 177);

const int SERVO_PIN = 9;
const int SERVO_MIN_US = 1000;  // the servo's range, as a pulse length in microseconds
const int SERVO_MAX_US = 2000;
const int SERVO_REST_US = 1500; // level
const float US_PER_RADIAN = 2000.0; // 0.25 rad (about 14 degrees) of pitch moves it 500 us

const unsigned long STEP_EVERY_MS = 10; // the servo moves at most MAX_STEP_US
const int MAX_STEP_US = 20;             // every 10 ms: its whole range in 0.5 s
const unsigned long REST_AFTER_MS = 500;

EthernetUDP udp;
Servo servo;

int target_us = SERVO_REST_US;  // where the servo is heading
int servo_us = SERVO_REST_US;   // where it is now
unsigned long last_good_ms = 0; // when the last usable pitch arrived
unsigned long last_step_ms = 0;
bool resting = true;

// Reads the pitch (radians) from a K01 or K2 datagram. Returns false for
// anything else: the decoder checks the length and the lead-in first.
bool pitchFromDatagram(const unsigned char* data, int length, float* pitch)
{
  kinemora_k01 k01;
  kinemora_k2 k2;
  if (kinemora_decode_k01(data, length, &k01)) {
    *pitch = k01.pitch;
    return true;
  }
  if (kinemora_decode_k2(data, length, &k2)) {
    *pitch = k2.pitch;
    return true;
  }
  return false;
}

// A finite pitch in radians to a servo pulse within the servo's range.
int pulseForPitch(float pitch)
{
  float us = SERVO_REST_US + pitch * US_PER_RADIAN;
  // Clamp while it is still a float: a huge pitch would not fit in an int.
  if (us < SERVO_MIN_US)
    us = SERVO_MIN_US;
  if (us > SERVO_MAX_US)
    us = SERVO_MAX_US;
  return (int)(us + 0.5);
}

void setup()
{
  Serial.begin(115200);
  Ethernet.begin(mac, ip);
  udp.begin(KINEMORA_PORT);
  servo.attach(SERVO_PIN);
  servo.writeMicroseconds(servo_us);
  Serial.println(F("listening on UDP port 50010"));
}

void loop()
{
  unsigned long now = millis();

  // 1. Take one datagram, if one has arrived.
  int size = udp.parsePacket();
  if (size > 0) {
    unsigned char buffer[64]; // K2 is 55 bytes: anything longer is not ours
    int n = udp.read(buffer, sizeof buffer);
    float pitch;
    if (n == size && pitchFromDatagram(buffer, n, &pitch)) {
      if (isfinite(pitch)) {
        target_us = pulseForPitch(pitch);
        last_good_ms = now;
        resting = false;
      } else {
        Serial.println(F("pitch is not finite: ignored"));
      }
    }
  }

  // 2. Nothing usable for a while (sim paused, network down): head for rest.
  if (!resting && now - last_good_ms >= REST_AFTER_MS) {
    target_us = SERVO_REST_US;
    resting = true;
    Serial.println(F("no data for 0.5 s: easing to rest"));
  }

  // 3. Move towards the target, one small step at a time.
  if (now - last_step_ms >= STEP_EVERY_MS) {
    last_step_ms = now;
    int step = target_us - servo_us;
    if (step > MAX_STEP_US)
      step = MAX_STEP_US;
    if (step < -MAX_STEP_US)
      step = -MAX_STEP_US;
    if (step != 0) {
      servo_us += step;
      servo.writeMicroseconds(servo_us);
    }
  }
}
