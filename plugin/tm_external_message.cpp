#include "tm_external_message.h"

#include "little_endian.h"

#include <cassert>
#include <cstddef>
#include <cstring>

// The record's wire layout: every field at its fixed offset, nothing in between.
using Header = tm_external_message::HeaderFields;
static_assert(offsetof(Header, Marker) == 0, "record layout");
static_assert(offsetof(Header, Size) == 2, "record layout");
static_assert(offsetof(Header, Dword4) == 4, "record layout");
static_assert(offsetof(Header, Qword8) == 8, "record layout");
static_assert(offsetof(Header, ID) == 16, "record layout");
static_assert(offsetof(Header, Byte24) == 24, "record layout");
static_assert(offsetof(Header, DataType) == 25, "record layout");
static_assert(offsetof(Header, Byte26) == 26, "record layout");
static_assert(offsetof(Header, Byte27) == 27, "record layout");
static_assert(offsetof(Header, Dword28) == 28, "record layout");
static_assert(offsetof(Header, Qword32) == 32, "record layout");
static_assert(offsetof(Header, Qword40) == 40, "record layout");
static_assert(offsetof(Header, Qword48) == 48, "record layout");
static_assert(offsetof(Header, Flags) == 56, "record layout");
static_assert(sizeof(Header) == kHeaderSize, "record layout");
static_assert(offsetof(tm_external_message, Header) == 0, "record layout");
static_assert(offsetof(tm_external_message, Payload) == kHeaderSize, "record layout");
static_assert(sizeof(tm_external_message) == kLargestRecord, "record layout");
static_assert(sizeof(double) == 8, "payload values are IEEE 754 binary64");

// The identifiers the host uses; a wrong hash would fail the build here.
static_assert(tm_msg_name_hash("Aircraft.Pitch") == 0x98489FCA9A0C6699ull, "identifier");
static_assert(tm_msg_name_hash("Aircraft.Bank") == 0xDCCDBCE630A0100Full, "identifier");
static_assert(tm_msg_name_hash("Aircraft.Velocity") == 0x977C869390C770A0ull, "identifier");
static_assert(tm_msg_name_hash("Aircraft.AngularVelocity") == 0xC333841907D74F04ull, "identifier");
static_assert(tm_msg_name_hash("Aircraft.RateOfTurn") == 0xCE9B17408EF4C81Dull, "identifier");
static_assert(tm_msg_name_hash("Simulation.Time") == 0x9CA7FB58F287A1F3ull, "identifier");



double tm_external_message::get_double() const
{
    assert(Header.DataType == tm_msg_data_type::Double);
    return LoadF64(Payload);
}

Vector3d tm_external_message::get_vector3d() const
{
    assert(Header.DataType == tm_msg_data_type::Vector3d);
    Vector3d v;
    v.x = LoadF64(Payload);
    v.y = LoadF64(Payload + 8);
    v.z = LoadF64(Payload + 16);
    return v;
}

namespace {

// decode_message into a record the caller owns, which must be a default record.
void DecodeInto(tm_external_message& m, const std::uint8_t* stream, std::uint32_t& position)
{
    const std::uint8_t* p = stream + position;
    Header& h = m.Header;
    h.Marker = LoadU16(p + 0);
    h.Size = LoadU16(p + 2);
    h.Dword4 = LoadU32(p + 4);
    h.Qword8 = LoadU64(p + 8);
    h.ID = LoadU64(p + 16);
    h.Byte24 = p[24];
    h.DataType = static_cast<tm_msg_data_type>(p[25]);
    h.Byte26 = p[26];
    h.Byte27 = p[27];
    h.Dword28 = LoadU32(p + 28);
    h.Qword32 = LoadU64(p + 32);
    h.Qword40 = LoadU64(p + 40);
    h.Qword48 = LoadU64(p + 48);
    h.Flags = LoadU64(p + 56);
    position += kHeaderSize;

    // A Size below 64 carries no payload; the copy never exceeds the 64-byte capacity.
    std::uint32_t n = h.Size > kHeaderSize ? h.Size - kHeaderSize : 0;
    if (n > tm_external_message::payload_capacity())
        n = tm_external_message::payload_capacity();
    std::memcpy(m.Payload, p + kHeaderSize, n);
    position += n;
}

} // namespace

tm_external_message decode_message(const std::uint8_t* stream, std::uint32_t& position)
{
    tm_external_message m;
    DecodeInto(m, stream, position);
    return m;
}

std::uint32_t decode_frame(const std::uint8_t* stream, std::uint32_t count,
                           std::vector<tm_external_message>& list)
{
    // One reservation per frame, capped: count comes from the host and is not a size to trust.
    constexpr std::uint32_t kReserveCap = 512;
    list.clear();
    // A null stream holds no records, whatever the count says.
    if (stream == nullptr)
        return 0;
    list.reserve(count < kReserveCap ? count : kReserveCap);

    std::uint32_t position = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        // A record whose Size lies outside 64..128 ends the frame: of it and what follows,
        // nothing but that Size field is read.
        const std::uint16_t size = LoadU16(stream + position + 2);
        if (size < kHeaderSize || size > kLargestRecord)
            break;
        // Decoded in place: the list's own default record takes the bytes.
        list.emplace_back();
        DecodeInto(list.back(), stream, position);
    }
    return static_cast<std::uint32_t>(list.size());
}
