#include "datagram_format.h"

#include <cstdio>
#include <cstring>

namespace {

// %.9g prints every float so that it reads back to the same value.
std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    return text;
}

static_assert(kK01FieldCount <= kMaxDatagramFields && kK2FieldCount <= kMaxDatagramFields, "room for every field");
static_assert(KINEMORA_K01_SIZE == kK01Size && KINEMORA_K2_SIZE == kK2Size,
              "the C decoder and the field table agree on the sizes");

// Every field of the table at its offset; the decoder's classification has
// checked the length and the lead-in.
void TableFields(DatagramFormat format, const unsigned char* data, DecodedDatagram& out)
{
    std::size_t count = 0;
    const MotionField* fields = FieldsOf(format, count);
    out.time_us = kinemora_read_u32(data + TimeOffset(format));
    out.field_count = count;
    for (std::size_t i = 0; i < count; ++i)
        out.fields[i] = {fields[i].name, kinemora_read_f32(data + fields[i].offset)};
}

const char* KindName(kinemora_kind kind)
{
    return kind == KINEMORA_K01 ? "K01" : kind == KINEMORA_K2 ? "K2" : "unrecognised";
}

// A datagram that starts like one of ours but has the wrong length is most
// likely cut short or padded on its way; say so, it helps when wiring a rig.
bool HasLeadIn(const unsigned char* data, std::size_t length, DatagramFormat format)
{
    const std::size_t lead = TimeOffset(format);
    return length >= lead && std::memcmp(data, LeadIn(format), lead) == 0;
}

const char* Hint(const unsigned char* data, std::size_t length)
{
    if (HasLeadIn(data, length, DatagramFormat::K01))
        return length < kK01Size ? " (a truncated K01?)" : " (an oversized K01?)";
    if (HasLeadIn(data, length, DatagramFormat::K2))
        return length < kK2Size ? " (a truncated K2?)" : " (an oversized K2?)";
    return "";
}

} // namespace

DecodedDatagram DecodeDatagram(const unsigned char* data, std::size_t length)
{
    DecodedDatagram decoded;
    decoded.kind = kinemora_classify(data, length);
    if (decoded.kind != KINEMORA_UNRECOGNISED)
        TableFields(decoded.kind == KINEMORA_K01 ? DatagramFormat::K01 : DatagramFormat::K2, data, decoded);
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
    for (const MotionField& field : kK01Fields)
        header += std::string(",k01_") + field.name;
    for (const MotionField& field : kK2Fields)
        header += std::string(",k2_") + field.name;
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
    const std::string k01_columns = d.kind == KINEMORA_K01 ? values : std::string(kK01FieldCount, ',');
    const std::string k2_columns = d.kind == KINEMORA_K2 ? values : std::string(kK2FieldCount, ',');
    row += std::string(KindName(d.kind)) + "," + std::to_string(length) + ",";
    if (d.kind != KINEMORA_UNRECOGNISED)
        row += std::to_string(d.time_us);
    return row + k01_columns + k2_columns;
}
