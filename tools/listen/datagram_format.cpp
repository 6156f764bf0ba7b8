#include "datagram_format.h"

#include <kinemora/motion_datagram.h>

#include <cstdio>

namespace {

struct Field {
    const char* name;
    float value;
};

// %.9g prints every float so that it reads back to the same value.
std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    return text;
}

constexpr std::size_t kK01Fields = 9;
constexpr std::size_t kK2Fields = 12;

void K01Fields(const kinemora_k01& d, Field (&f)[kK01Fields])
{
    f[0] = {"velocity_x", d.velocity_x};
    f[1] = {"velocity_y", d.velocity_y};
    f[2] = {"velocity_z", d.velocity_z};
    f[3] = {"bank", d.bank};
    f[4] = {"pitch", d.pitch};
    f[5] = {"rate_of_turn", d.rate_of_turn};
    f[6] = {"angular_velocity_x", d.angular_velocity_x};
    f[7] = {"angular_velocity_y", d.angular_velocity_y};
    f[8] = {"angular_velocity_z", d.angular_velocity_z};
}

void K2Fields(const kinemora_k2& d, Field (&f)[kK2Fields])
{
    f[0] = {"velocity_body_z", d.velocity_body_z};
    f[1] = {"velocity_body_x", d.velocity_body_x};
    f[2] = {"velocity_body_y", d.velocity_body_y};
    f[3] = {"acceleration_body_z", d.acceleration_body_z};
    f[4] = {"acceleration_body_x", d.acceleration_body_x};
    f[5] = {"acceleration_body_y", d.acceleration_body_y};
    f[6] = {"bank", d.bank};
    f[7] = {"pitch", d.pitch};
    f[8] = {"heading", d.heading};
    f[9] = {"rotation_velocity_body_z", d.rotation_velocity_body_z};
    f[10] = {"rotation_velocity_body_x", d.rotation_velocity_body_x};
    f[11] = {"rotation_velocity_body_y", d.rotation_velocity_body_y};
}

template <std::size_t N>
std::string Named(const char* kind, std::uint32_t time_us, const Field (&fields)[N])
{
    std::string line = std::string(kind) + " time_us=" + std::to_string(time_us);
    for (const Field& f : fields)
        line += std::string(" ") + f.name + "=" + Number(f.value);
    return line;
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
    kinemora_k01 k01;
    kinemora_k2 k2;
    if (kinemora_decode_k01(data, length, &k01)) {
        Field f[kK01Fields];
        K01Fields(k01, f);
        return Named("K01", k01.time_us, f);
    }
    if (kinemora_decode_k2(data, length, &k2)) {
        Field f[kK2Fields];
        K2Fields(k2, f);
        return Named("K2", k2.time_us, f);
    }
    return "unrecognised length=" + std::to_string(length) + " bytes=" + HexBytes(data, length, 16) +
           Hint(data, length);
}

std::string CsvHeader()
{
    std::string header = "arrival_s,source,kind,length,time_us";
    Field k01[kK01Fields];
    Field k2[kK2Fields];
    K01Fields(kinemora_k01{}, k01);
    K2Fields(kinemora_k2{}, k2);
    for (const Field& f : k01)
        header += std::string(",k01_") + f.name;
    for (const Field& f : k2)
        header += std::string(",k2_") + f.name;
    return header;
}

std::string CsvRow(double arrival_seconds, const std::string& source,
                   const unsigned char* data, std::size_t length)
{
    char arrival[32];
    std::snprintf(arrival, sizeof(arrival), "%.6f", arrival_seconds);
    std::string row = std::string(arrival) + "," + source + ",";

    kinemora_k01 k01;
    kinemora_k2 k2;
    std::string k01_columns(kK01Fields, ',');
    std::string k2_columns(kK2Fields, ',');
    if (kinemora_decode_k01(data, length, &k01)) {
        Field f[kK01Fields];
        K01Fields(k01, f);
        row += "K01," + std::to_string(length) + "," + std::to_string(k01.time_us);
        k01_columns.clear();
        for (const Field& field : f)
            k01_columns += "," + Number(field.value);
    } else if (kinemora_decode_k2(data, length, &k2)) {
        Field f[kK2Fields];
        K2Fields(k2, f);
        row += "K2," + std::to_string(length) + "," + std::to_string(k2.time_us);
        k2_columns.clear();
        for (const Field& field : f)
            k2_columns += "," + Number(field.value);
    } else {
        row += "unrecognised," + std::to_string(length) + ",";
    }
    return row + k01_columns + k2_columns;
}
