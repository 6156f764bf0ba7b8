// The script behind the EthernetUDP stand-in: what a sketch receives, and
// when. Each phase sends one datagram every 20 ms (a 50 Hz simulator); the
// test (test_sketch.py) knows the same timeline and checks the servo log.
#include "Ethernet.h"

#include <avr/interrupt.h>
#include <avr/pgmspace.h>
#include <avr/sleep.h>
#include <string.h>

EthernetClass Ethernet;

namespace {

// The worked examples of docs/protocol.md: K01 pitch -0.125, K2 pitch -5 degrees.
const uint8_t k01_example[44] PROGMEM = {
    0x4b, 0x30, 0x31, 0x2c, 0x00, 0x5a, 0x62, 0x00, 0xcd, 0xcc, 0x4c, 0x42,
    0x00, 0x00, 0x40, 0xbf, 0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0x00, 0x3f,
    0x00, 0x00, 0x00, 0xbe, 0x00, 0x00, 0x80, 0x3d, 0x00, 0x00, 0x80, 0x3e,
    0x00, 0x00, 0x00, 0xbd, 0x00, 0x00, 0x80, 0x3c};
const uint8_t k2_example[55] PROGMEM = {
    0x4b, 0x32, 0x2c, 0xa0, 0x25, 0x26, 0x00, 0x00, 0x00, 0x70, 0x42,
    0x00, 0x00, 0x00, 0xbf, 0x00, 0x00, 0xa0, 0x3f, 0x00, 0x00, 0x40, 0x3f,
    0x00, 0x00, 0x80, 0xbe, 0x00, 0x00, 0x00, 0x3e, 0xc2, 0xb8, 0x32, 0x3e,
    0xc2, 0xb8, 0xb2, 0xbd, 0xe4, 0xcb, 0x96, 0x40, 0xcd, 0xcc, 0x4c, 0x3d,
    0x0a, 0xd7, 0x23, 0xbc, 0x0a, 0xd7, 0xa3, 0x3c};

const uint32_t kAsSent = 0xffffffffu; // keep the example's pitch

struct Phase {
    uint16_t from_ms, to_ms;
    bool k2;             // which example to start from
    uint8_t length;      // bytes sent (the example is cut or padded with zeros)
    uint32_t pitch_bits; // written at the pitch's offset (K01 24, K2 35), little-endian
    char lead_in_2;      // replaces byte 2 of the lead-in when not 0
};

const Phase kPhases[] = {
    {100, 600, false, 44, kAsSent, 0},      // pitch -0.125 rad: 1250 us
    {600, 700, false, 44, 0x7fc00000u, 0},  // NaN: ignored
    {700, 760, false, 44, 0x7f800000u, 0},  // +infinity: ignored
    {760, 1000, true, 55, kAsSent, 0},      // pitch -0.0872664601 rad: 1325 us
    {1000, 1040, false, 43, 0x3e4ccccdu, 0}, // pitch 0.2 in a K01 one byte short
    {1040, 1080, true, 56, 0x3e4ccccdu, 0},  // ... in a K2 one byte long
    {1080, 1100, true, 55, 0x3e4ccccdu, ';'}, // ... after the lead-in "K2;"
    {1100, 1500, false, 44, 0x41a00000u, 0}, // pitch 20 rad: 41500 us, beyond a 16-bit int: clamped to 2000 us
    {1500, 2100, true, 55, 0xf149f2cau, 0},  // pitch -1e30 rad: clamped to 1000 us
};
const uint16_t kEndMs = 3000; // silence from 2100: the servo eases back to 1500 us
const uint16_t kEveryMs = 20;

uint8_t packet[64];
size_t packet_size = 0;
size_t packet_read = 0;
uint16_t next_send_ms = 0;

void StopSimulation()
{
    Serial.println(F("scenario done"));
    Serial.flush();
    // simavr ends when the CPU sleeps with interrupts off.
    cli();
    set_sleep_mode(SLEEP_MODE_PWR_DOWN);
    sleep_enable();
    sleep_cpu();
}

// Builds the datagram of a phase into packet.
void Build(const Phase& phase)
{
    memset(packet, 0, sizeof packet);
    const uint8_t* example = phase.k2 ? k2_example : k01_example;
    const size_t example_size = phase.k2 ? sizeof k2_example : sizeof k01_example;
    memcpy_P(packet, example, phase.length < example_size ? phase.length : example_size);
    const size_t pitch_offset = phase.k2 ? 35 : 24;
    if (phase.pitch_bits != kAsSent) {
        for (int i = 0; i < 4; ++i)
            packet[pitch_offset + i] = static_cast<uint8_t>(phase.pitch_bits >> (8 * i));
    }
    if (phase.lead_in_2)
        packet[2] = static_cast<uint8_t>(phase.lead_in_2);
    packet_size = phase.length;
    packet_read = 0;
}

} // namespace

void EthernetClass::begin(uint8_t*, IPAddress ip)
{
    Serial.print(F("Ethernet.begin "));
    Serial.println(ip);
}

uint8_t EthernetUDP::begin(uint16_t port)
{
    Serial.print(F("udp.begin "));
    Serial.println(port);
    return 1;
}

int EthernetUDP::parsePacket()
{
    const unsigned long now = millis();
    if (now >= kEndMs)
        StopSimulation();
    packet_size = 0;
    if (now < next_send_ms)
        return 0;
    for (const Phase& phase : kPhases) {
        if (now >= phase.from_ms && now < phase.to_ms) {
            // The next send time on this phase's 20 ms grid.
            next_send_ms = phase.from_ms + ((now - phase.from_ms) / kEveryMs + 1) * kEveryMs;
            Build(phase);
            return static_cast<int>(packet_size);
        }
    }
    return 0;
}

int EthernetUDP::available()
{
    return static_cast<int>(packet_size - packet_read);
}

int EthernetUDP::read()
{
    return packet_read < packet_size ? packet[packet_read++] : -1;
}

int EthernetUDP::read(unsigned char* buffer, size_t length)
{
    size_t n = 0;
    while (n < length && packet_read < packet_size)
        buffer[n++] = packet[packet_read++];
    return static_cast<int>(n);
}

int EthernetUDP::peek()
{
    return packet_read < packet_size ? packet[packet_read] : -1;
}
