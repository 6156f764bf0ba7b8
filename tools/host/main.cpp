// kinemora-host: plays the simulator's side for the Aerofly FS 2 plug-in. It
// loads the plug-in, asks its version, calls Init, then Update once per frame
// with messages from a flight profile, and Shutdown at the end.
#include "files.h"
#include "flight_source.h"
#include "frame_builder.h"
#include "plugin_library.h"
#include "replay_script.h"
#include "socket_startup.h"
#include "tool_platform.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kUsage[] =
    "Usage: kinemora-host PLUGIN [options]\n"
    "\n"
    "Loads an Aerofly FS 2 plug-in (kinemora_aerofly_fs_2.dll, or the .so of a\n"
    "native build) and drives it as the simulator does: the version query, Init,\n"
    "one Update per frame with the frame's messages, and Shutdown. Each frame\n"
    "carries the six motion messages (the velocity in body and in world axes)\n"
    "and further messages with real names, like the simulator sends.\n"
    "\n"
    "Options:\n"
    "  --rate HZ        frames per second (default 60); a recording keeps its own\n"
    "  --duration S     seconds to fly (default: to the end of the flight)\n"
    "  --start S        start S seconds into the flight (default 0)\n"
    "  --profile CSV    fly a CSV file, or replay a kinemora-listen --csv recording\n"
    "                   of the plug-in's K01 datagrams at its own times, instead of\n"
    "                   the built-in flight (take-off, climb, turns, landing; 300 s);\n"
    "                   see docs/flights.md for the columns\n"
    "  --other N        further messages per frame (default 40)\n"
    "  --replay FILE    run a replay script of exact calls instead of a flight\n"
    "  --handles        print the process's handle count after the first 100\n"
    "                   frames and at the end\n"
    "  --no-sockets     do not start Windows Sockets before loading the plug-in,\n"
    "                   like a host that leaves it to its plug-ins (Windows only)\n"
    "  --quiet          no progress lines\n"
    "  --help           show this text\n"
    "\n"
    "The plug-in broadcasts to UDP port 50010; watch with kinemora-listen.\n";

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

struct Options {
    std::string plugin;
    double rate = 60.0;
    double duration = -1.0;
    double start = 0.0;
    std::string profile;
    unsigned other = 40;
    std::string replay;
    bool handles = false;
    bool start_sockets = true;
    bool quiet = false;
};

bool ParseNumber(const char* text, double min, double max, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return *text != '\0' && *end == '\0' && value >= min && value <= max;
}

// Returns -1 to go on, otherwise main's exit code.
int ParseOptions(const std::vector<std::string>& arguments, Options& options)
{
    const std::size_t argc = arguments.size();
    for (std::size_t i = 0; i < argc; ++i) {
        const std::string& arg = arguments[i];
        const char* value = i + 1 < argc ? arguments[i + 1].c_str() : nullptr;
        double number = 0.0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--handles") {
            options.handles = true;
        } else if (arg == "--no-sockets") {
            options.start_sockets = false;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg.rfind("--", 0) == 0 && !value) {
            std::fprintf(stderr, "kinemora-host: %s needs a value, or is unknown. Try --help.\n", arg.c_str());
            return 2;
        } else if (arg == "--rate") {
            if (!ParseNumber(arguments[++i].c_str(), 0.1, 10000.0, options.rate)) {
                std::fprintf(stderr, "kinemora-host: --rate wants frames per second from 0.1 to 10000\n");
                return 2;
            }
        } else if (arg == "--duration") {
            if (!ParseNumber(arguments[++i].c_str(), 0.0, 1e7, options.duration)) {
                std::fprintf(stderr, "kinemora-host: --duration wants seconds, 0 or more\n");
                return 2;
            }
        } else if (arg == "--start") {
            if (!ParseNumber(arguments[++i].c_str(), 0.0, 1e7, options.start)) {
                std::fprintf(stderr, "kinemora-host: --start wants seconds, 0 or more\n");
                return 2;
            }
        } else if (arg == "--other") {
            if (!ParseNumber(arguments[++i].c_str(), 0.0, 10000.0, number) || number != static_cast<unsigned>(number)) {
                std::fprintf(stderr, "kinemora-host: --other wants a whole number from 0 to 10000\n");
                return 2;
            }
            options.other = static_cast<unsigned>(number);
        } else if (arg == "--profile") {
            options.profile = arguments[++i].c_str();
        } else if (arg == "--replay") {
            options.replay = arguments[++i].c_str();
        } else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "kinemora-host: unknown option %s. Try --help.\n", arg.c_str());
            return 2;
        } else if (options.plugin.empty()) {
            options.plugin = arg;
        } else {
            std::fprintf(stderr, "kinemora-host: one plug-in at a time; '%s' is extra\n", arg.c_str());
            return 2;
        }
    }
    if (options.plugin.empty()) {
        std::fprintf(stderr, "kinemora-host: name the plug-in to load. Try --help.\n");
        return 2;
    }
    return -1;
}

void PrintVersion(const PluginExports& plugin)
{
    const std::int64_t version = plugin.GetInterfaceVersion();
    std::printf("interface version %d (64-bit result 0x%016llx)\n", static_cast<int>(version),
                static_cast<unsigned long long>(version));
    std::fflush(stdout);
}

int RunReplay(const Options& options, const PluginExports& plugin)
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

int RunFlight(const Options& options, const PluginExports& plugin)
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
    Options options;
    // From the wide command line on Windows: a plug-in's folder may hold any character.
    const int parsed = ParseOptions(ProgramArguments(argc, argv), options);
    if (parsed >= 0)
        return parsed;

    // The simulator starts Windows Sockets before it loads plug-ins; --no-sockets
    // plays a host that does not, which the plug-in must survive.
    if (options.start_sockets)
        StartSockets();
    UseMillisecondTimers();

    PluginExports plugin;
    std::string error;
    void* library = LoadPlugin(options.plugin, plugin, error);
    if (!library) {
        std::fprintf(stderr, "kinemora-host: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    const int code = options.replay.empty() ? RunFlight(options, plugin) : RunReplay(options, plugin);
    if (options.handles)
        std::printf("handles: open %ld -> %ld, next slot %ld -> %ld\n", handles_warm.open, OpenHandleCount(),
                    handles_warm.slot, NextHandleSlot());
    UnloadPlugin(library);
    return code;
}
