#pragma once

// X-Plane's UDP messages that kinemora_xplane and its stand-in use, after
// Laminar Research's "Exchanging Data with X-Plane": the beacon that X-Plane
// multicasts, and the RREF request and reply for DataRefs. All little-endian;
// pure code over bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kBeaconGroup = 0xEFFF0101u; // 239.255.1.1
constexpr std::uint16_t kBeaconPort = 49707;
constexpr std::uint16_t kXPlanePort = 49000;        // X-Plane's receive port unless its user changed it
constexpr std::size_t kRrefRequestSize = 413;
constexpr std::size_t kRrefPathSize = 400;
constexpr std::size_t kMostRrefPairs = 183;         // X-Plane sends at most this many pairs a packet

// "BECN\0", u8 major (1), u8 minor, i32 host (1: X-Plane), i32 version
// (115501 for 11.55), u32 role (1 master, 2 external visual, 3 instructor
// station), u16 its receive port, its computer's name up to a NUL.
struct Beacon {
    std::uint8_t major = 1;
    std::uint8_t minor = 2;
    std::int32_t host = 1;
    std::int32_t version = 0;
    std::uint32_t role = 1;
    std::uint16_t port = kXPlanePort;
    std::string name;
};

// False for what is no beacon: too short, another lead-in, no NUL after the name.
bool ReadBeacon(const unsigned char* data, std::size_t length, Beacon& beacon);
std::vector<unsigned char> EncodeBeacon(const Beacon& beacon);

// "11.55 (version 115501)"
std::string XPlaneVersion(std::int32_t version);

// "RREF\0", i32 frequency (0 ends the subscription), i32 index, the DataRef's
// path NUL-padded to 400 bytes. False for a path of 400 bytes or more.
bool EncodeRrefRequest(std::int32_t frequency, std::int32_t index, const std::string& path,
                       unsigned char (&request)[kRrefRequestSize]);
bool ReadRrefRequest(const unsigned char* data, std::size_t length, std::int32_t& frequency, std::int32_t& index,
                     std::string& path);

struct RrefValue {
    std::int32_t index;
    float value;
};

// "RREF" and one more byte (',' from X-Plane 11 and 12; only the first four
// are matched), then index and value pairs. False for a short or foreign
// packet, or one that is no whole number of pairs.
bool ReadRrefReply(const unsigned char* data, std::size_t length, std::vector<RrefValue>& values);
std::vector<unsigned char> EncodeRrefReply(const std::vector<RrefValue>& values);
