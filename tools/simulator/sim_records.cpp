#include "sim_records.h"

#include "little_endian.h"

#include <algorithm>
#include <cstring>

namespace {

void WriteHeader(unsigned char* out, std::size_t size, std::uint32_t kind)
{
    PutU32(out + 0, static_cast<std::uint32_t>(size));
    PutU32(out + 4, kRecordVersion);
    PutU32(out + 8, kind);
}

const SimulatorEdition kEditions[] = {
    {"2020", "KittyHawk", {11, 0, 282174, 999}, {11, 0, 62651, 3}},
    {"2024", "SunRise", {12, 1, 282174, 999}, {12, 1, 71436, 2}},
};

} // namespace

const SimulatorEdition& DefaultEdition()
{
    return kEditions[0];
}

const SimulatorEdition* FindEdition(const std::string& year)
{
    for (const SimulatorEdition& edition : kEditions) {
        if (year == edition.year)
            return &edition;
    }
    return nullptr;
}

std::size_t WriteHeaderRecord(unsigned char* out, std::size_t capacity, std::uint32_t kind)
{
    if (capacity < kRecordHeaderSize)
        return 0;
    WriteHeader(out, kRecordHeaderSize, kind);
    return kRecordHeaderSize;
}

std::size_t WriteExceptionRecord(unsigned char* out, std::size_t capacity, std::uint32_t code, std::uint32_t send_id,
                                 std::uint32_t index)
{
    if (capacity < kExceptionRecordSize)
        return 0;
    WriteHeader(out, kExceptionRecordSize, kRecordKindException);
    PutU32(out + kExceptionNumberOffset, code);
    PutU32(out + kExceptionNumberOffset + 4, send_id);
    PutU32(out + kExceptionNumberOffset + 8, index);
    return kExceptionRecordSize;
}

std::size_t WriteOpenRecord(unsigned char* out, std::size_t capacity, const SimulatorEdition& edition)
{
    if (capacity < kOpenRecordSize)
        return 0;
    std::memset(out, 0, kOpenRecordSize);
    WriteHeader(out, kOpenRecordSize, kRecordKindOpen);
    const std::size_t length = std::min(std::strlen(edition.application_name), kOpenNameSize - 1);
    std::memcpy(out + kOpenNameOffset, edition.application_name, length);
    for (std::size_t i = 0; i < 4; ++i) {
        PutU32(out + kOpenApplicationVersionOffset + 4 * i, edition.application_version[i]);
        PutU32(out + kOpenSimConnectVersionOffset + 4 * i, edition.library_version[i]);
    }
    return kOpenRecordSize;
}

std::size_t WriteEventRecord(unsigned char* out, std::size_t capacity, std::uint32_t event_id)
{
    if (capacity < kEventRecordSize)
        return 0;
    WriteHeader(out, kEventRecordSize, kRecordKindEvent);
    PutU32(out + 12, 0xFFFFFFFFu);
    PutU32(out + kRecordEventIdOffset, event_id);
    PutU32(out + 20, 0);
    return kEventRecordSize;
}

std::size_t WriteObjectDataRecord(unsigned char* out, std::size_t capacity, std::uint32_t request_id,
                                  std::uint32_t define_id, const double* values, std::size_t value_count)
{
    const std::size_t size = ObjectDataRecordSize(value_count);
    if (capacity < kRecordValuesOffset || value_count > (capacity - kRecordValuesOffset) / 8)
        return 0;
    WriteHeader(out, size, kRecordKindObjectData);
    PutU32(out + kRecordRequestIdOffset, request_id);
    PutU32(out + 16, kUserAircraftObjectId);
    PutU32(out + 20, define_id);
    PutU32(out + 24, 0);
    PutU32(out + 28, 1);
    PutU32(out + 32, 1);
    PutU32(out + 36, static_cast<std::uint32_t>(value_count));
    for (std::size_t i = 0; i < value_count; ++i)
        PutF64(out + kRecordValuesOffset + 8 * i, values[i]);
    return size;
}
