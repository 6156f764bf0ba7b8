// kinemora-monitor-demo: shows the plug-in's monitor window and replays the
// built-in flight through the plug-in's frame path, so that the window has
// something to show. Each frame's datagram goes to a sink that drops it:
// nothing is sent.
#include "flight_source.h"
#include "frame_builder.h"
#include "monitor.h"
#include "motion_frame.h"
#include "plugin_state.h"
#include "tool_platform.h"
#include "window_capture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

const char kUsage[] =
    "Usage: kinemora-monitor-demo [options]\n"
    "\n"
    "Shows the Aerofly FS 2 plug-in's monitor window (frame counter, simulation\n"
    "time and the last 30 body-frame velocities) and flies the built-in flight\n"
    "through the plug-in's frame path, as the simulator's Update calls would.\n"
    "Nothing is sent on the network: each frame's datagram is dropped.\n"
    "\n"
    "Options:\n"
    "  --start S          start S seconds into the flight (default 0)\n"
    "  --seconds S        stop after S seconds (default: at the end of the flight)\n"
    "  --rate HZ          frames per second (default 60)\n"
    "  --screenshot FILE  when the run ends, save the window as a PNG file\n"
    "  --help             show this text\n"
    "\n"
    "Closing the window ends the demo early. Under Wine without a desktop, run it\n"
    "on a virtual screen, for example:\n"
    "  xvfb-run -a -s '-screen 0 1920x1080x24 -noreset' scripts/wine-run \\\n"
    "      build/win64/bin/kinemora-monitor-demo.exe --start 19 --seconds 2 --screenshot docs/monitor.png\n";

// Frames that carry only the motion, no further messages.
constexpr unsigned kOtherMessages = 0;
constexpr int kWindowTimeoutMs = 15000;
// Time for the window's 50 ms redraw to show the last frame before a screenshot.
constexpr auto kSettle = std::chrono::milliseconds(200);

struct Options {
    double start = 0.0;
    double seconds = -1.0; // to the end of the flight
    double rate = 60.0;
    std::string screenshot;
};

void DropDatagram(const void* /*data*/, std::int32_t /*length*/)
{
}

bool ParseNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

// Returns 0 to go on, otherwise the exit code.
int ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        }
        if (arg != "--start" && arg != "--seconds" && arg != "--rate" && arg != "--screenshot") {
            std::fprintf(stderr, "kinemora-monitor-demo: unknown option %s\n\n%s", arg.c_str(), kUsage);
            return 2;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "kinemora-monitor-demo: %s needs a value; see --help\n", arg.c_str());
            return 2;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (arg == "--start")
            ok = ParseNumber(value, options.start) && options.start >= 0.0;
        else if (arg == "--seconds")
            ok = ParseNumber(value, options.seconds) && options.seconds >= 0.0;
        else if (arg == "--rate")
            ok = ParseNumber(value, options.rate) && options.rate > 0.0 && options.rate <= 1000.0;
        else
            options.screenshot = value;
        if (!ok) {
            std::fprintf(stderr, "kinemora-monitor-demo: bad value for %s: %s; see --help\n", arg.c_str(), value);
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int code = ParseOptions(argc, argv, options))
        return code < 0 ? 0 : code;

    FlightSource flight;
    flight.StartAt(options.start);
    const double seconds = options.seconds < 0.0 ? flight.Duration(options.rate) : options.seconds;

    UseMillisecondTimers();
    plugin_state.Clear();
    StartMonitor();
    if (!WaitForMonitorWindow(kWindowTimeoutMs)) {
        StopMonitor();
        std::fprintf(stderr, "kinemora-monitor-demo: the monitor window did not appear within %d s. Is there a "
                             "display? Under Wine, set DISPLAY (for example to an Xvfb screen).\n",
                     kWindowTimeoutMs / 1000);
        return 1;
    }
    std::printf("flying %.1f s to %.1f s of the built-in flight at %.0f Hz; close the window to stop early\n",
                options.start, options.start + seconds, options.rate);
    std::fflush(stdout);

    const auto began = std::chrono::steady_clock::now();
    for (std::uint64_t n = 0;; ++n) {
        const FlightSample sample = flight.Sample(n, options.rate);
        if (sample.at > seconds || !MonitorWindowOpen())
            break;
        const HostFrame frame = BuildFlightFrame(ToPluginMessages(sample), kOtherMessages);
        RunFrame(plugin_state, frame.bytes.data(), frame.count, DropDatagram);
        std::this_thread::sleep_until(began + std::chrono::duration<double>((n + 1) / options.rate));
    }

    int status = 0;
    if (!options.screenshot.empty()) {
        std::this_thread::sleep_for(kSettle);
        std::string error;
        if (SaveMonitorScreenshot(options.screenshot, error)) {
            std::printf("saved the window as %s\n", options.screenshot.c_str());
        } else {
            std::fprintf(stderr, "kinemora-monitor-demo: no screenshot: %s\n", error.c_str());
            status = 1;
        }
    }
    StopMonitor();
    std::printf("%u frames recorded\n", plugin_state.CopyOut().counter);
    return status;
}
