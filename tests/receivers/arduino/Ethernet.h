// Test stand-in for Arduino's Ethernet library, which Debian does not
// package: the same EthernetUDP, built on the Arduino core's UDP interface,
// but fed from a script of datagrams (sketch_scenario.cpp) instead of a
// W5100 chip. When the script is over it stops the simulation.
#pragma once

#include <Arduino.h>
#include <IPAddress.h>
#include <Udp.h>

class EthernetClass {
public:
    void begin(uint8_t* mac, IPAddress ip);
};

extern EthernetClass Ethernet;

class EthernetUDP : public UDP {
public:
    uint8_t begin(uint16_t port) override;
    int parsePacket() override;
    int available() override;
    int read() override;
    int read(unsigned char* buffer, size_t length) override;
    int read(char* buffer, size_t length) override { return read(reinterpret_cast<unsigned char*>(buffer), length); }
    int peek() override;
    IPAddress remoteIP() override { return IPAddress(192, 0, 2, 10); }
    uint16_t remotePort() override { return 40000; }

    // Sending is not part of the script.
    void stop() override {}
    int beginPacket(IPAddress, uint16_t) override { return 0; }
    int beginPacket(const char*, uint16_t) override { return 0; }
    int endPacket() override { return 0; }
    size_t write(uint8_t) override { return 0; }
    size_t write(const uint8_t*, size_t) override { return 0; }
    void flush() override {}
    using Print::write;
};
