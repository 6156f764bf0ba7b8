#include "datagram_format.h"

#include <cstdio>

namespace {

// %.9g prints every float so that it reads back to the same value.
std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    return text;
}

constexpr std::size_t kK01Fields = 9;
constexpr std::size_t kK2Fields = 12;
static_assert(kK2Fields <= kMaxDatagramFields && kK01Fields <= kMaxDatagramFields, "room for every field");

void K01Fields(const kinemora_k01& d, DecodedDatagram& out)
{
    const DatagramField f[kK01Fields] = {
        {"velocity_x", d.velocity_x},
        {"velocity_y", d.velocity_y},
        {"velocity_z", d.velocity_z},
        {"bank", d.bank},
        {"pitch", d.pitch},
        {"rate_of_turn", d.rate_of_turn},
        {"angular_velocity_x", d.angular_velocity_x},
        {"angular_velocity_y", d.angular_velocity_y},
        {"angular_velocity_z", d.angular_velocity_z},
    };
    out.kind = KINEMORA_K01;
    out.time_us = d.time_us;
    out.field_count = kK01Fields;
    for (std::size_t i = 0; i < kK01Fields; ++i)
        out.fields[i] = f[i];
}

void K2Fields(const kinemora_k2& d, DecodedDatagram& out)
{
    const DatagramField f[kK2Fields] = {
        {"velocity_body_z", d.velocity_body_z},
        {"velocity_body_x", d.velocity_body_x},
        {"velocity_body_y", d.velocity_body_y},
        {"acceleration_body_z", d.acceleration_body_z},
        {"acceleration_body_x", d.acceleration_body_x},
        {"acceleration_body_y", d.acceleration_body_y},
        {"bank", d.bank},
        {"pitch", d.pitch},
        {"heading", d.heading},
        {"rotation_velocity_body_z", d.rotation_velocity_body_z},
        {"rotation_velocity_body_x", d.rotation_velocity_body_x},
        {"rotation_velocity_body_y", d.rotation_velocity_body_y},
    };
    out.kind = KINEMORA_K2;
    out.time_us = d.time_us;
    out.field_count = kK2Fields;
    for (std::size_t i = 0; i < kK2Fields; ++i)
        out.fields[i] = f[i];
}

const char* KindName(kinemora_kind kind)
{
    return kind == KINEMORA_K01 ? "K01" : kind == KINEMORA_K2 ? "K2" : "unrecognised";
}

// A datagram that starts like one of ours but has the wrong length is most
// likely cut short or padded on its way; say so, it helps when wiring a rig.
const char* Hint(const unsigned char* data, std::size_t length)
{
    if (length >= 4 && data[0] == 'K' && data[1] == '0' && data[2] == '1' && data[3] == ',')
        return length < KINEMORA_K01_SIZE ? " (a truncated K01?)" : " (an oversized K01?)";
    if (length >= 3 && data[0] == 'K' && data[1] == '2' && data[2] == ',')
        return length < KINEMORA_K2_SIZE ? " (a truncated K2?)" : " (an oversized K2?)";
    return "";
}

} // namespace

DecodedDatagram DecodeDatagram(const unsigned char* data, std::size_t length)
{
    DecodedDatagram decoded;
    kinemora_k01 k01;
    kinemora_k2 k2;
    if (kinemora_decode_k01(data, length, &k01))
        K01Fields(k01, decoded);
    else if (kinemora_decode_k2(data, length, &k2))
        K2Fields(k2, decoded);
    return decoded;
}

std::string HexBytes(const unsigned char* data, std::size_t length, std::size_t max_bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    const std::size_t shown = length < max_bytes ? length : max_bytes;
    for (std::size_t i = 0; i < shown; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    if (shown < length)
        text += "...";
    return text;
}

std::string DescribeDatagram(const unsigned char* data, std::size_t length)
{
    const DecodedDatagram d = DecodeDatagram(data, length);
    if (d.kind == KINEMORA_UNRECOGNISED)
        return "unrecognised length=" + std::to_string(length) + " bytes=" + HexBytes(data, length, 16) +
               Hint(data, length);
    std::string line = std::string(KindName(d.kind)) + " time_us=" + std::to_string(d.time_us);
    for (std::size_t i = 0; i < d.field_count; ++i)
        line += std::string(" ") + d.fields[i].name + "=" + Number(d.fields[i].value);
    return line;
}

std::string CsvHeader()
{
    std::string header = "arrival_s,source,kind,length,time_us";
    DecodedDatagram k01;
    DecodedDatagram k2;
    K01Fields(kinemora_k01{}, k01);
    K2Fields(kinemora_k2{}, k2);
    for (std::size_t i = 0; i < k01.field_count; ++i)
        header += std::string(",k01_") + k01.fields[i].name;
    for (std::size_t i = 0; i < k2.field_count; ++i)
        header += std::string(",k2_") + k2.fields[i].name;
    return header;
}

std::string CsvRow(double arrival_seconds, const std::string& source,
                   const unsigned char* data, std::size_t length)
{
    char arrival[32];
    std::snprintf(arrival, sizeof(arrival), "%.6f", arrival_seconds);
    std::string row = std::string(arrival) + "," + source + ",";

    const DecodedDatagram d = DecodeDatagram(data, length);
    std::string values;
    for (std::size_t i = 0; i < d.field_count; ++i)
        values += "," + Number(d.fields[i].value);
    const std::string k01_columns = d.kind == KINEMORA_K01 ? values : std::string(kK01Fields, ',');
    const std::string k2_columns = d.kind == KINEMORA_K2 ? values : std::string(kK2Fields, ',');
    row += std::string(KindName(d.kind)) + "," + std::to_string(length) + ",";
    if (d.kind != KINEMORA_UNRECOGNISED)
        row += std::to_string(d.time_us);
    return row + k01_columns + k2_columns;
}
