#pragma once

// The host's message record: how Aerofly FS 2 hands each frame's messages to
// the plug-in. A stream holds records back to back, each Size bytes long
// (64 header bytes, then Size - 64 payload bytes), all fields little-endian.

#include "vector3d.h"

#include <cstdint>
#include <vector>

enum class tm_msg_data_type : std::uint8_t {
    None = 0,
    Double = 2,   // payload bytes 0-7: one binary64
    Vector3d = 4, // payload bytes 0-23: binary64 x, y, z
};


// A record's 64-bit flag set. Flags the plug-in forms itself come from
// 32-bit values, zero-extended.
class MessageFlags {
public:
    constexpr MessageFlags() = default;
    constexpr explicit MessageFlags(std::uint32_t value) : bits_(value) {}
    static constexpr MessageFlags from_bits(std::uint64_t bits)
    {
        MessageFlags f;
        f.bits_ = bits;
        return f;
    }
    constexpr std::uint64_t bits() const { return bits_; }

    // True when every bit of mask is set here; an empty mask is always true.
    constexpr bool has_flags(MessageFlags mask) const { return (bits_ & mask.bits_) == mask.bits_; }

private:
    std::uint64_t bits_ = 0;
};

// The record's vector is in the aircraft's body axes (clear: world axes).
constexpr MessageFlags BodyFrame{0x40000u};

struct tm_external_message {
    struct HeaderFields {
        std::uint16_t Marker = 0xAAAA;
        std::uint16_t Size = 64;
        std::uint32_t Dword4 = 0;
        std::uint64_t Qword8 = 0;
        std::uint64_t ID = 0;
        std::uint8_t Byte24 = 0;
        tm_msg_data_type DataType = tm_msg_data_type::None;
        std::uint8_t Byte26 = 1;
        std::uint8_t Byte27 = 0;
        std::uint32_t Dword28 = 0;
        std::uint64_t Qword32 = 0;
        std::uint64_t Qword40 = 0;
        std::uint64_t Qword48 = 0;
        std::uint64_t Flags = 0;
    };

    HeaderFields Header;
    std::uint8_t Payload[64] = {};

    constexpr tm_external_message() = default;
    constexpr tm_external_message(std::uint64_t id, tm_msg_data_type type, MessageFlags flags)
    {
        Header.ID = id;
        Header.DataType = type;
        Header.Flags = flags.bits();
    }

    constexpr std::uint64_t get_id() const { return Header.ID; }
    constexpr MessageFlags get_flags() const { return MessageFlags::from_bits(Header.Flags); }
    double get_double() const;     // asserts DataType is Double
    Vector3d get_vector3d() const; // asserts DataType is Vector3d
    const std::uint8_t* payload() const { return Payload; }
    std::uint8_t* payload() { return Payload; }
    static constexpr std::uint32_t payload_capacity() { return 64; }
};

constexpr std::uint32_t kHeaderSize = 64;
constexpr std::uint32_t kLargestRecord = kHeaderSize + tm_external_message::payload_capacity();

// A message's identifier: 64-bit FNV-1a over the name's bytes (taken as
// signed) and its terminating NUL.
constexpr std::uint64_t tm_msg_name_hash(const char* name)
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const char* p = name;; ++p) {
        h ^= static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<signed char>(*p)));
        h *= 0x100000001B3ull;
        if (*p == '\0')
            return h;
    }
}

// The six messages the plug-in recognises, by ID only. Fixed when the library
// is built, so that recognising a record compares it with six known values.
inline constexpr tm_external_message MessageAircraftPitch{
    tm_msg_name_hash("Aircraft.Pitch"), tm_msg_data_type::Double, MessageFlags(0x02000040u)};
inline constexpr tm_external_message MessageAircraftBank{
    tm_msg_name_hash("Aircraft.Bank"), tm_msg_data_type::Double, MessageFlags(0x02000040u)};
inline constexpr tm_external_message MessageAircraftVelocity{
    tm_msg_name_hash("Aircraft.Velocity"), tm_msg_data_type::Vector3d, MessageFlags(0x02000040u)};
inline constexpr tm_external_message MessageAircraftAngularVelocity{
    tm_msg_name_hash("Aircraft.AngularVelocity"), tm_msg_data_type::Vector3d, MessageFlags(0x02000040u)};
inline constexpr tm_external_message MessageAircraftRateOfTurn{
    tm_msg_name_hash("Aircraft.RateOfTurn"), tm_msg_data_type::Double, MessageFlags(0x02000040u)};
inline constexpr tm_external_message MessageSimulationTime{
    tm_msg_name_hash("Simulation.Time"), tm_msg_data_type::Double, MessageFlags(0x06000040u)};

// Reads the record that starts at stream + position into a default record
// (header copied byte for byte, min(Size - 64, 64) payload bytes, the rest 0)
// and advances position past the bytes read.
tm_external_message decode_message(const std::uint8_t* stream, std::uint32_t& position);

// Decodes up to count records from the start of stream into list (cleared
// first). A record whose Size lies outside 64..128 ends the frame: it and
// everything after it are not read. A null stream gives no records. Returns
// the number of records listed.
std::uint32_t decode_frame(const std::uint8_t* stream, std::uint32_t count,
                           std::vector<tm_external_message>& list);
