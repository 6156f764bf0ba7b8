// kinemora-host: plays the simulator's side for an Aerofly FS 2 or FS 4
// plug-in. It loads the plug-in, finds which edition's exports it has, asks
// its version, calls Init, then Update once per frame with messages from a
// flight profile, and Shutdown at the end.
#include "arguments.h"
#include "flight_source.h"
#include "frame_builder.h"
#include "host_options.h"
#include "plugin_library.h"
#include "replay_script.h"
#include "socket_startup.h"
#include "timers.h"
#include "handles.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> interrupted{false};

// Handle counts once the plug-in and the system have settled: the first
// frames set up what the socket library keeps for the process's life.
constexpr long long kWarmUpFrames = 100;
struct {
    long open = -1;
    long slot = -1;
} handles_warm;

void NoteHandles()
{
    handles_warm.open = OpenHandleCount();
    handles_warm.slot = NextHandleSlot();
}

void OnInterrupt(int)
{
    interrupted = true;
}

void PrintVersion(const PluginExports& plugin)
{
    const std::int64_t version = plugin.GetInterfaceVersion();
    std::printf("interface version %d (64-bit result 0x%016llx)\n", static_cast<int>(version),
                static_cast<unsigned long long>(version));
    std::fflush(stdout);
}

int RunReplay(const HostOptions& options, const PluginExports& plugin)
{
    std::ifstream file(std::filesystem::u8path(options.replay)); // UTF-8, any character on Windows too
    if (!file) {
        std::fprintf(stderr, "kinemora-host: cannot read %s\n", options.replay.c_str());
        return 1;
    }
    std::vector<ReplayStep> steps;
    std::string error;
    if (!ParseReplayScript(file, steps, error)) {
        std::fprintf(stderr, "kinemora-host: %s: %s\n", options.replay.c_str(), error.c_str());
        return 2;
    }
    NoteHandles();
    for (const ReplayStep& step : steps) {
        switch (step.kind) {
        case ReplayStep::Kind::Version:
            PrintVersion(plugin);
            break;
        case ReplayStep::Kind::Init:
            std::printf("init returned %s\n",
                        plugin.Init(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(step.init_value)))
                            ? "true" : "false");
            std::fflush(stdout);
            break;
        case ReplayStep::Kind::Shutdown:
            plugin.Shutdown();
            break;
        case ReplayStep::Kind::Frame:
            plugin.Update(step.delta, step.null_stream ? nullptr : step.bytes.data(), step.arg3, step.count);
            break;
        case ReplayStep::Kind::Sleep:
            std::this_thread::sleep_for(std::chrono::milliseconds(step.sleep_ms));
            break;
        }
    }
    if (!options.quiet)
        std::fprintf(stderr, "kinemora-host: replayed %zu steps\n", steps.size());
    return 0;
}

int RunFlight(const HostOptions& options, const PluginExports& plugin)
{
    FlightSource source;
    if (!options.profile.empty() && !LoadFlightFile(options.profile, DatagramKind::K01, "kinemora-host", source))
        return 2;
    source.StartAt(options.start);
    const double duration = options.duration >= 0.0 ? options.duration : source.Duration(options.rate);

    PrintVersion(plugin);
    plugin.Init(nullptr);
    NoteHandles();
    if (!options.quiet) {
        char pace[32] = "";
        if (!source.Recording())
            std::snprintf(pace, sizeof(pace), " at %.1f Hz", options.rate);
        std::fprintf(stderr, "kinemora-host: flying %s for %.1f s from %.1f s%s (%u further messages a frame)\n",
                     source.Description().c_str(), duration, options.start, pace, options.other);
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    long long sent = 0;
    double last_report = 0.0;
    for (; !interrupted; ++sent) {
        const FlightSample sample = source.Sample(static_cast<std::uint64_t>(sent), options.rate);
        if (sample.at >= duration)
            break;
        std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(sample.at)));
        const HostFrame frame = BuildFlightFrame(ToPluginMessages(sample), options.other);
        plugin.Update(1.0 / options.rate, frame.bytes.data(), 0, frame.count);
        if (sent + 1 == kWarmUpFrames)
            NoteHandles();
        if (!options.quiet && sample.at >= last_report + 5.0) {
            last_report = sample.at;
            std::fprintf(stderr, "kinemora-host: %.1f s, %lld frames\n", sample.at, sent);
        }
    }
    plugin.Shutdown();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (!options.quiet)
        std::fprintf(stderr, "kinemora-host: %lld frames in %.2f s (%.1f Hz)%s\n", sent, elapsed,
                     elapsed > 0.0 ? static_cast<double>(sent) / elapsed : 0.0,
                     interrupted ? ", stopped by Ctrl+C" : "");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    HostOptions options;
    // From the wide command line on Windows: a plug-in's folder may hold any character.
    if (const std::optional<int> status = cli::Run(kHostCommandLine, ProgramArguments(argc, argv), options))
        return *status;
    std::string error;

    // The simulator starts Windows Sockets before it loads plug-ins; --no-sockets
    // plays a host that does not, which the plug-in must survive.
    if (options.start_sockets)
        StartSockets();
    UseMillisecondTimers();

    PluginExports plugin;
    void* library = LoadPlugin(options.plugin, plugin, error);
    if (!library) {
        std::fprintf(stderr, "kinemora-host: %s\n", error.c_str());
        return 1;
    }
    if (!options.quiet)
        std::fprintf(stderr, "kinemora-host: %s\n", DescribePlugin(options.plugin, plugin).c_str());
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    const int code = options.replay.empty() ? RunFlight(options, plugin) : RunReplay(options, plugin);
    if (options.handles)
        std::printf("handles: open %ld -> %ld, next slot %ld -> %ld\n", handles_warm.open, OpenHandleCount(),
                    handles_warm.slot, NextHandleSlot());
    UnloadPlugin(library);
    return code;
}
