#pragma once

#include "datagram_format.h"

#include <cstdint>
#include <string>

// Each field's latest value and the smallest and largest finite value seen,
// per kind, for the live view. A NaN or an infinity becomes the latest value
// but never a bound.
struct FieldRange {
    const char* name = "";
    float current = 0.0f;
    float smallest = 0.0f;
    float largest = 0.0f;
    bool any_finite = false; // smallest and largest hold a value
};

struct KindFields {
    std::uint64_t datagrams = 0;
    std::uint32_t time_us = 0; // of the latest datagram
    std::string source;        // the latest datagram's sender address
    std::size_t field_count = 0;
    FieldRange fields[kMaxDatagramFields];
};

class FieldRanges {
public:
    // Unrecognised datagrams are ignored.
    void Add(const DecodedDatagram& datagram, const std::string& source);

    const KindFields& K01() const { return k01_; }
    const KindFields& K2() const { return k2_; }

private:
    KindFields k01_;
    KindFields k2_;
};
