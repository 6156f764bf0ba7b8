// kinemora-update-cost: what one Update of the plug-in costs, next to the
// fresh-socket send it contains and a plain sendto on a kept socket (the
// floor). Loads the plug-in like the host does, so the same program measures
// the native library and the Windows DLL under Wine. It broadcasts: run it
// inside scripts/private-net.
#include "adapters.h"
#include "broadcast_sender.h"
#include "flight_source.h"
#include "frame_builder.h"
#include "kept_socket.h"
#include "plugin_library.h"
#include "socket_startup.h"
#include "handles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Figures {
    double median_us;
    double p99_us;
};

// Runs the candidates in turn, one call each per round, so that a busy
// moment of the machine falls on all of them alike.
std::vector<Figures> Measure(int iterations, const std::vector<std::function<void()>>& candidates)
{
    using Clock = std::chrono::steady_clock;
    std::vector<std::vector<double>> samples(candidates.size());
    for (int i = 0; i < iterations / 10; ++i)
        for (const auto& work : candidates)
            work(); // warm-up
    for (int i = 0; i < iterations; ++i) {
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            const Clock::time_point start = Clock::now();
            candidates[c]();
            samples[c].push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
    }
    std::vector<Figures> figures;
    for (std::vector<double>& s : samples) {
        std::sort(s.begin(), s.end());
        figures.push_back({s[s.size() / 2], s[s.size() * 99 / 100]});
    }
    return figures;
}

// Every Update of a run of seconds back to back, each timed: the slowest
// ones show what a look at the adapters (every 5 s while none is found) or
// any other rare work costs the frame that does it.
void TimeEveryUpdate(const PluginExports& plugin, const HostFrame& frame, double seconds)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> samples;
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                      std::chrono::duration<double>(seconds));
    while (Clock::now() < end) {
        const Clock::time_point start = Clock::now();
        plugin.Update(0.004, frame.bytes.data(), 0, frame.count);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::vector<double> sorted = samples;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%zu Updates in %.0f s: median %.2f us, p99 %.2f us, p99.9 %.2f us\n", sorted.size(), seconds,
                sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted[sorted.size() * 999 / 1000]);
    std::printf("slowest five:");
    for (std::size_t i = 0; i < 5 && i < sorted.size(); ++i)
        std::printf(" %.0f us", sorted[sorted.size() - 1 - i]);
    std::printf("\n");

    // What one look at the adapters adds to the frame that makes it.
    std::vector<double> looks;
    for (int i = 0; i < 200; ++i) {
        const Clock::time_point start = Clock::now();
        const std::vector<Adapter> adapters = ListAdapters();
        looks.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(looks.begin(), looks.end());
    std::printf("one look at the adapters (200 looks): median %.1f us, p99 %.1f us\n", looks[looks.size() / 2],
                looks[looks.size() * 99 / 100]);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::printf("Usage: kinemora-update-cost PLUGIN [ITERATIONS | --every-update SECONDS]\n"
                    "Times one Update with 20 typical records, the fresh-socket send alone and a\n"
                    "sendto on a kept socket, in three runs of ITERATIONS rounds (default 20000);\n"
                    "prints each run's median and 99th percentile in microseconds, then the\n"
                    "median of the three: Update's own cost beyond its send, and the ratios.\n"
                    "With --every-update, times every Update of SECONDS back to back instead and\n"
                    "prints their median, percentiles and the slowest five.\n"
                    "It broadcasts to port 50010: run it inside scripts/private-net.\n");
        return argc < 2 ? 2 : 0;
    }
    const char* private_net = std::getenv("KINEMORA_PRIVATE_NET");
    if (!private_net || std::strcmp(private_net, "1") != 0) {
        std::fprintf(stderr, "kinemora-update-cost: refusing to broadcast outside scripts/private-net\n");
        return 3;
    }
    const bool every_update = argc > 3 && std::strcmp(argv[2], "--every-update") == 0;
    const int iterations = argc > 2 && !every_update ? std::atoi(argv[2]) : 20000;
    StartSockets();

    PluginExports plugin;
    std::string error;
    void* library = LoadPlugin(argv[1], plugin, error);
    if (!library) {
        std::fprintf(stderr, "kinemora-update-cost: %s\n", error.c_str());
        return 1;
    }
    plugin.Init(nullptr);

    // 7 motion records (velocity in body and world axes) and 13 others: 20 in all.
    FlightSource flight;
    flight.StartAt(60.0);
    const HostFrame frame = BuildFlightFrame(ToPluginMessages(flight.Sample(0, 60.0)), 13);
    if (every_update) {
        TimeEveryUpdate(plugin, frame, std::atof(argv[3]));
        plugin.Shutdown();
        UnloadPlugin(library);
        return 0;
    }
    const unsigned char datagram[44] = {'K', '0', '1', ','};
    unsigned char destination[128] = {};
    ResolveSocketAddress(kBroadcastNode, 2, kBroadcastService, destination);
    const std::intptr_t kept = OpenKeptSocket();
    const std::vector<std::function<void()>> candidates = {
        [&] { plugin.Update(0.004, frame.bytes.data(), 0, frame.count); },
        [&] { BroadcastSender(datagram, sizeof(datagram)); },
        [&] { SendOnKeptSocket(kept, destination, datagram, sizeof(datagram)); },
    };
    std::printf("%d iterations a run, %u records per frame\n", iterations, frame.count);
    std::printf("%-5s %-22s %10s %10s\n", "", "", "median us", "p99 us");
    constexpr int kRuns = 3;
    std::vector<double> update, fresh, floor, own;
    for (int run = 1; run <= kRuns; ++run) {
        const std::vector<Figures> figures = Measure(iterations, candidates);
        const char* names[] = {"Update (20 records)", "fresh-socket send", "sendto on a kept socket"};
        for (std::size_t c = 0; c < figures.size(); ++c)
            std::printf("run %d %-22s %10.2f %10.2f\n", run, names[c], figures[c].median_us, figures[c].p99_us);
        update.push_back(figures[0].median_us);
        fresh.push_back(figures[1].median_us);
        floor.push_back(figures[2].median_us);
        own.push_back(figures[0].median_us - figures[1].median_us);
    }
    CloseKeptSocket(kept);
    plugin.Shutdown();
    UnloadPlugin(library);

    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("median of %d runs: Update %.2f us, fresh-socket send %.2f us, kept-socket floor %.2f us\n", kRuns,
                median(update), median(fresh), median(floor));
    std::printf("Update - fresh-socket send: %.2f us (median of the runs' differences)\n", median(own));
    std::printf("Update / fresh-socket send: %.3f\n", median(update) / median(fresh));
    std::printf("Update / kept-socket floor: %.2f\n", median(update) / median(floor));
    return 0;
}
