#include "text_encoding.h"

#include <cstdint>

namespace {

void AppendUtf8(std::uint32_t code, std::string& utf8)
{
    if (code < 0x80) {
        utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
        utf8 += static_cast<char>(0xC0 | (code >> 6));
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (code >> 12));
        utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (code >> 18));
        utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(std::uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

bool HasUtf16Mark(const std::string& bytes)
{
    return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

bool Utf16ToUtf8(const std::string& bytes, std::string& utf8)
{
    utf8.clear();
    if (!HasUtf16Mark(bytes) || bytes.size() % 2 != 0)
        return false;
    const bool big_endian = bytes[0] == '\xFE';
    auto unit_at = [&](std::size_t at) {
        const std::uint32_t first = static_cast<unsigned char>(bytes[at]);
        const std::uint32_t second = static_cast<unsigned char>(bytes[at + 1]);
        return big_endian ? first << 8 | second : second << 8 | first;
    };
    utf8.reserve(bytes.size());
    for (std::size_t at = 2; at < bytes.size(); at += 2) {
        const std::uint32_t unit = unit_at(at);
        if (IsHighSurrogate(unit) && at + 3 < bytes.size() && IsLowSurrogate(unit_at(at + 2))) {
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (unit_at(at + 2) - 0xDC00), utf8);
            at += 2;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            utf8.clear();
            return false;
        } else {
            AppendUtf8(unit, utf8);
        }
    }
    return true;
}
