#include "field_ranges.h"

#include <cmath>

void FieldRanges::Add(const DecodedDatagram& datagram, const std::string& source)
{
    if (datagram.kind == KINEMORA_UNRECOGNISED)
        return;
    KindFields& kind = datagram.kind == KINEMORA_K01 ? k01_ : k2_;
    ++kind.datagrams;
    kind.time_us = datagram.time_us;
    kind.source = source;
    kind.field_count = datagram.field_count;
    for (std::size_t i = 0; i < datagram.field_count; ++i) {
        FieldRange& range = kind.fields[i];
        const float value = datagram.fields[i].value;
        range.name = datagram.fields[i].name;
        range.current = value;
        if (!std::isfinite(value))
            continue;
        if (!range.any_finite || value < range.smallest)
            range.smallest = value;
        if (!range.any_finite || value > range.largest)
            range.largest = value;
        range.any_finite = true;
    }
}
