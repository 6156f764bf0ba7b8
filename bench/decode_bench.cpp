// The plug-in's stream decoder: time per record for a typical host frame and
// for a frame of every catalogue message, and the allocations a frame costs.

#include "allocation_counter.h"
#include "message_catalogue.h"
#include "tm_external_message.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

void Put(std::vector<std::uint8_t>& stream, std::size_t offset, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        stream[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Appends one record as the host lays it out: a binary64 needs 72 bytes, a vector 88.
void AppendRecord(std::vector<std::uint8_t>& stream, std::uint64_t id, tm_msg_data_type type, double value)
{
    const std::size_t size = type == tm_msg_data_type::Vector3d ? 88 : 72;
    const std::size_t at = stream.size();
    stream.resize(at + size, 0);
    Put(stream, at + 0, 0xAAAA, 2);
    Put(stream, at + 2, size, 2);
    Put(stream, at + 16, id, 8);
    stream[at + 25] = static_cast<std::uint8_t>(type);
    stream[at + 26] = 1;
    Put(stream, at + 56, type == tm_msg_data_type::Vector3d ? 0x02040040 : 0x02000040, 8);
    for (std::size_t v = 0; v < (size - 64) / 8; ++v) {
        std::uint64_t bits;
        const double component = value + static_cast<double>(v);
        std::memcpy(&bits, &component, 8);
        Put(stream, at + 64 + 8 * v, bits, 8);
    }
}

struct Frame {
    std::vector<std::uint8_t> bytes;
    std::uint32_t count = 0;
};

// The six motion messages with their real types, then other messages of the catalogue.
Frame TypicalFrame(std::uint32_t records)
{
    const tm_external_message* motion[] = {&MessageSimulationTime, &MessageAircraftVelocity,
                                           &MessageAircraftBank, &MessageAircraftPitch,
                                           &MessageAircraftRateOfTurn, &MessageAircraftAngularVelocity};
    Frame f;
    for (const tm_external_message* m : motion) {
        AppendRecord(f.bytes, m->get_id(), m->Header.DataType, 1.25);
        ++f.count;
    }
    for (std::size_t i = 0; f.count < records; ++i, ++f.count)
        AppendRecord(f.bytes, MessageCatalogue[i].ID,
                     i % 4 == 0 ? tm_msg_data_type::Vector3d : tm_msg_data_type::Double, 0.5 * i);
    return f;
}

// One record per catalogue entry, in catalogue order.
Frame CatalogueFrame()
{
    Frame f;
    for (std::size_t i = 0; i < MessageCatalogue.size(); ++i, ++f.count)
        AppendRecord(f.bytes, MessageCatalogue[i].ID,
                     i % 4 == 0 ? tm_msg_data_type::Vector3d : tm_msg_data_type::Double, 0.5 * i);
    return f;
}

Frame FrameOf(std::int64_t records)
{
    return records == 418 ? CatalogueFrame() : TypicalFrame(static_cast<std::uint32_t>(records));
}

void Report(benchmark::State& state, std::uint32_t records, long allocated)
{
    state.SetItemsProcessed(state.iterations() * records);
    state.counters["ns_per_record"] = benchmark::Counter(
        records, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["allocs_per_frame"] = benchmark::Counter(static_cast<double>(allocated),
                                                            benchmark::Counter::kAvgIterations);
}

// The list lives across frames, as a caller that keeps its buffer would hold it.
void BM_DecodeFrameReusedList(benchmark::State& state)
{
    const Frame f = FrameOf(state.range(0));
    std::vector<tm_external_message> list;
    decode_frame(f.bytes.data(), f.count, list);
    const long before = AllocationCount();
    for (auto _ : state) {
        benchmark::DoNotOptimize(decode_frame(f.bytes.data(), f.count, list));
        benchmark::DoNotOptimize(list.data());
    }
    Report(state, f.count, AllocationCount() - before);
}

// A new list every frame, as a per-call list is made and released.
void BM_DecodeFrameFreshList(benchmark::State& state)
{
    const Frame f = FrameOf(state.range(0));
    const long before = AllocationCount();
    for (auto _ : state) {
        std::vector<tm_external_message> list;
        benchmark::DoNotOptimize(decode_frame(f.bytes.data(), f.count, list));
        benchmark::DoNotOptimize(list.data());
    }
    Report(state, f.count, AllocationCount() - before);
}

// decode_message alone over the same frames: the record copy without the list.
void BM_DecodeMessages(benchmark::State& state)
{
    const Frame f = FrameOf(state.range(0));
    const long before = AllocationCount();
    for (auto _ : state) {
        std::uint32_t position = 0;
        for (std::uint32_t i = 0; i < f.count; ++i) {
            const tm_external_message m = decode_message(f.bytes.data(), position);
            benchmark::DoNotOptimize(m.Header.ID);
        }
    }
    Report(state, f.count, AllocationCount() - before);
}

} // namespace

BENCHMARK(BM_DecodeFrameReusedList)->Arg(20)->Arg(418);
BENCHMARK(BM_DecodeFrameFreshList)->Arg(20)->Arg(418);
BENCHMARK(BM_DecodeMessages)->Arg(20)->Arg(418);

BENCHMARK_MAIN();
