#include "histogram.h"

namespace {

constexpr unsigned kExactBits = 11;
constexpr std::uint64_t kExact = std::uint64_t{1} << kExactBits; // 2,048: one bucket per value below
constexpr std::uint64_t kPerDoubling = kExact / 2;                // 1,024 buckets per doubling above
constexpr unsigned kTopBits = 32;                                 // values from 2^32 on share the last bucket
constexpr std::size_t kBuckets = kExact + (kTopBits - kExactBits) * kPerDoubling;

unsigned HighestBit(std::uint64_t value)
{
    unsigned bit = 0;
    while (value >>= 1)
        ++bit;
    return bit;
}

} // namespace

Histogram::Histogram() : counts_(kBuckets, 0) {}

std::size_t Histogram::Bucket(std::uint64_t value)
{
    if (value < kExact)
        return static_cast<std::size_t>(value);
    if (value >> kTopBits)
        return kBuckets - 1;
    // Keep the top kExactBits bits: the value's doubling picks the block, the
    // bits below the leading one pick the bucket inside it.
    const unsigned shift = HighestBit(value) - (kExactBits - 1);
    const std::uint64_t top = value >> shift; // from kPerDoubling to kExact - 1
    return static_cast<std::size_t>(kExact + (shift - 1) * kPerDoubling + (top - kPerDoubling));
}

std::uint64_t Histogram::BucketStart(std::size_t bucket)
{
    if (bucket < kExact)
        return bucket;
    const std::size_t above = bucket - kExact;
    const unsigned shift = static_cast<unsigned>(above / kPerDoubling) + 1;
    return (kPerDoubling + above % kPerDoubling) << shift;
}

void Histogram::Add(std::uint64_t value)
{
    ++counts_[Bucket(value)];
    ++count_;
}

std::uint64_t Histogram::Percentile(unsigned percent) const
{
    if (count_ == 0)
        return 0;
    std::uint64_t rank = (count_ * percent + 99) / 100;
    if (rank == 0)
        rank = 1;
    std::uint64_t seen = 0;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        seen += counts_[i];
        if (seen >= rank)
            return BucketStart(i);
    }
    return BucketStart(counts_.size() - 1);
}

std::uint64_t Histogram::CountAbove(std::uint64_t limit) const
{
    std::uint64_t above = 0;
    for (std::size_t i = Bucket(limit) + 1; i < counts_.size(); ++i)
        above += counts_[i];
    return above;
}
