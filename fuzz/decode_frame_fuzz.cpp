// libFuzzer target: decode_frame over arbitrary stream bytes and counts,
// checked record by record against the bytes.
//
// Input: 4 bytes of count (little-endian), then the stream, copied into a heap
// block of exactly its length so that AddressSanitizer sees any over-read.
//
// The host passes no stream length, so the decoder trusts the count for
// records whose Size is in range and would read past a stream that holds
// fewer. That is outside what the host sends, not a fault, so this target walks
// the Size chain itself first: where the chain runs off the end of the stream,
// the count is cut to the records that fit; where it reaches a record with a
// Size outside 64..128 (whose Size field lies within the stream), the count is
// passed on as it came, however large, because the decoder must stop there.

#include "tm_external_message.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::uint64_t Load(const std::uint8_t* p, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = (value << 8) | p[i];
    return value;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::uint32_t count = static_cast<std::uint32_t>(Load(data, 4));
    const std::size_t length = size - 4;
    std::unique_ptr<std::uint8_t[]> stream(new std::uint8_t[length]);
    std::memcpy(stream.get(), data + 4, length);

    // Walk the chain: starts of the records that fit, and where it ends.
    std::vector<std::size_t> starts;
    std::size_t position = 0;
    bool ends_at_bad_size = false;
    while (starts.size() < count && position + 4 <= length) {
        const std::uint64_t record_size = Load(stream.get() + position + 2, 2);
        if (record_size < kHeaderSize || record_size > kLargestRecord) {
            ends_at_bad_size = true;
            break;
        }
        if (position + record_size > length)
            break;
        starts.push_back(position);
        position += record_size;
    }
    if (!ends_at_bad_size && count > starts.size())
        count = static_cast<std::uint32_t>(starts.size());

    std::vector<tm_external_message> list;
    const std::uint32_t decoded = decode_frame(stream.get(), count, list);
    Check(decoded == list.size());
    Check(decoded == starts.size());

    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::uint8_t* record = stream.get() + starts[i];
        const tm_external_message& m = list[i];
        const std::size_t carried = Load(record + 2, 2) - kHeaderSize;
        Check(m.Header.Size == Load(record + 2, 2));
        Check(m.get_id() == Load(record + 16, 8));
        Check(static_cast<std::uint8_t>(m.Header.DataType) == record[25]);
        Check(m.get_flags().bits() == Load(record + 56, 8));
        Check(std::memcmp(m.payload(), record + kHeaderSize, carried) == 0);
        for (std::size_t b = carried; b < tm_external_message::payload_capacity(); ++b)
            Check(m.payload()[b] == 0);
    }
    return 0;
}
