#include "xplane_protocol.h"

#include "little_endian.h"

#include <cstring>

namespace {

constexpr std::size_t kBeaconFixed = 5 + 1 + 1 + 4 + 4 + 4 + 2; // up to the name: 21 bytes
constexpr std::size_t kRrefLead = 5;                          // "RREF" and one more byte

void Append(std::vector<unsigned char>& out, const void* data, std::size_t length)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    out.insert(out.end(), bytes, bytes + length);
}

void AppendU32(std::vector<unsigned char>& out, std::uint32_t value)
{
    unsigned char bytes[4];
    PutU32(bytes, value);
    Append(out, bytes, 4);
}

} // namespace

bool ReadBeacon(const unsigned char* data, std::size_t length, Beacon& beacon)
{
    if (length < kBeaconFixed + 1 || std::memcmp(data, "BECN\0", 5) != 0)
        return false;
    const void* end = std::memchr(data + kBeaconFixed, 0, length - kBeaconFixed);
    if (end == nullptr)
        return false;
    beacon.major = data[5];
    beacon.minor = data[6];
    beacon.host = static_cast<std::int32_t>(LoadU32(data + 7));
    beacon.version = static_cast<std::int32_t>(LoadU32(data + 11));
    beacon.role = LoadU32(data + 15);
    beacon.port = LoadU16(data + 19);
    const auto* name = reinterpret_cast<const char*>(data + kBeaconFixed);
    beacon.name.assign(name, static_cast<const char*>(end));
    return true;
}

std::vector<unsigned char> EncodeBeacon(const Beacon& beacon)
{
    std::vector<unsigned char> out;
    out.reserve(kBeaconFixed + beacon.name.size() + 1);
    Append(out, "BECN\0", 5);
    out.push_back(beacon.major);
    out.push_back(beacon.minor);
    AppendU32(out, static_cast<std::uint32_t>(beacon.host));
    AppendU32(out, static_cast<std::uint32_t>(beacon.version));
    AppendU32(out, beacon.role);
    out.push_back(static_cast<unsigned char>(beacon.port & 0xFF));
    out.push_back(static_cast<unsigned char>(beacon.port >> 8));
    Append(out, beacon.name.c_str(), beacon.name.size() + 1);
    return out;
}

std::string XPlaneVersion(std::int32_t version)
{
    const std::string minor = std::to_string(version / 100 % 100);
    return std::to_string(version / 10000) + "." + (minor.size() < 2 ? "0" : "") + minor + " (version " +
           std::to_string(version) + ")";
}

bool EncodeRrefRequest(std::int32_t frequency, std::int32_t index, const std::string& path,
                       unsigned char (&request)[kRrefRequestSize])
{
    if (path.size() >= kRrefPathSize)
        return false;
    std::memset(request, 0, sizeof(request));
    std::memcpy(request, "RREF\0", 5);
    PutU32(request + 5, static_cast<std::uint32_t>(frequency));
    PutU32(request + 9, static_cast<std::uint32_t>(index));
    std::memcpy(request + 13, path.data(), path.size());
    return true;
}

bool ReadRrefRequest(const unsigned char* data, std::size_t length, std::int32_t& frequency, std::int32_t& index,
                     std::string& path)
{
    if (length != kRrefRequestSize || std::memcmp(data, "RREF\0", 5) != 0)
        return false;
    frequency = static_cast<std::int32_t>(LoadU32(data + 5));
    index = static_cast<std::int32_t>(LoadU32(data + 9));
    const unsigned char* text = data + 13;
    const void* nul = std::memchr(text, 0, kRrefPathSize);
    const auto* path_text = reinterpret_cast<const char*>(text);
    path.assign(path_text, nul ? static_cast<const char*>(nul) : path_text + kRrefPathSize);
    return true;
}

bool ReadRrefReply(const unsigned char* data, std::size_t length, std::vector<RrefValue>& values)
{
    values.clear();
    if (length < kRrefLead + 8 || std::memcmp(data, "RREF", 4) != 0 || (length - kRrefLead) % 8 != 0)
        return false;
    for (std::size_t at = kRrefLead; at < length; at += 8)
        values.push_back({static_cast<std::int32_t>(LoadU32(data + at)), LoadF32(data + at + 4)});
    return true;
}

std::vector<unsigned char> EncodeRrefReply(const std::vector<RrefValue>& values)
{
    std::vector<unsigned char> out;
    out.reserve(kRrefLead + 8 * values.size());
    Append(out, "RREF,", 5);
    for (const RrefValue& value : values) {
        AppendU32(out, static_cast<std::uint32_t>(value.index));
        unsigned char bytes[4];
        PutF32(bytes, value.value);
        Append(out, bytes, 4);
    }
    return out;
}
