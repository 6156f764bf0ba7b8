#pragma once

#include <cstdint>
#include <vector>

// Counts gaps between datagrams, in microseconds, in a fixed set of buckets,
// so that a listener running for hours keeps a constant 188 KB for them.
// Gaps below 2,048 us have a bucket each; above that every doubling of the
// gap is split into 1,024 buckets, so a bucket is at most 1/1024 of its
// values wide. Gaps from 2^32 us (71 minutes) on share the last bucket.
class GapHistogram {
public:
    GapHistogram();

    void Add(std::uint64_t gap_us);
    std::uint64_t Count() const { return count_; }

    // The nearest-rank percentile: the gap at rank ceil(percent * count / 100)
    // in ascending order, given as the lower end of its bucket (exact below
    // 2,048 us, at most 0.1% low above). 0 when no gap was added.
    std::uint64_t Percentile(unsigned percent) const;

    // Gaps in buckets that lie wholly above limit_us. A gap in the bucket that
    // holds limit_us itself is not counted, so gaps less than 0.1% above the
    // limit may be missed.
    std::uint64_t CountAbove(std::uint64_t limit_us) const;

    // The bucket of a gap, and the smallest gap of a bucket.
    static std::size_t Bucket(std::uint64_t gap_us);
    static std::uint64_t BucketStart(std::size_t bucket);

private:
    std::vector<std::uint64_t> counts_;
    std::uint64_t count_ = 0;
};
