#pragma once

#include <cstdint>
#include <vector>

// Counts whole values (gaps in microseconds, durations in nanoseconds) in a
// fixed set of buckets, so that hours of them keep a constant 188 KB. Values
// below 2,048 have a bucket each; above that every doubling is split into
// 1,024 buckets, so a bucket is at most 1/1024 of its values wide. Values
// from 2^32 on share the last bucket.
class Histogram {
public:
    Histogram();

    void Add(std::uint64_t value);
    std::uint64_t Count() const { return count_; }

    // The nearest-rank percentile: the value at rank ceil(percent * count / 100)
    // in ascending order, given as the lower end of its bucket (exact below
    // 2,048, at most 0.1% low above); 0 the lowest, 100 the highest. 0 when
    // no value was added.
    std::uint64_t Percentile(unsigned percent) const;

    // Values in buckets that lie wholly above limit. A value in the bucket
    // that holds limit itself is not counted, so values less than 0.1% above
    // the limit may be missed.
    std::uint64_t CountAbove(std::uint64_t limit) const;

    // The bucket of a value, and the smallest value of a bucket.
    static std::size_t Bucket(std::uint64_t value);
    static std::uint64_t BucketStart(std::size_t bucket);

private:
    std::vector<std::uint64_t> counts_;
    std::uint64_t count_ = 0;
};
