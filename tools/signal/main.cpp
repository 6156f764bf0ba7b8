// kinemora-signal: sends a test signal on one field of K01 or K2 datagrams,
// so that a rig builder can check each axis before any simulator runs.
#include "arguments.h"
#include "console.h"
#include "destinations.h"
#include "outbox.h"
#include "pacer.h"
#include "signal_options.h"
#include "signal_text.h"
#include "socket_startup.h"
#include "steady_counter.h"
#include "stop_events.h"
#include "timers.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kStatusEvery = 5.0; // seconds of signal between status lines

void Say(const std::string& line)
{
    std::fprintf(stderr, "kinemora-signal: %s\n", line.c_str());
    std::fflush(stderr);
}

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g s", seconds);
    return text;
}

// Sleeps until the deadline has passed; false, sooner, when a request to stop
// other than the `told` ones has come. The Windows build's waits end at whole
// milliseconds, up to one early; what is left is waited as one more
// millisecond rather than spun away. POSIX sleeps end after the deadline.
bool SleepUntil(Clock::time_point deadline, int told)
{
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
        if (StopRequestsSoFar().count != told)
            return false;
        WaitForStopRequest(std::chrono::duration<double>(deadline - now).count());
    }
    return true;
}

// Sends the whole run, from the soft start to the datagram of zeros.
void Run(const SignalOptions& options, Outbox& outbox)
{
    const SignalSettings& signal = options.signal;
    SignalStream stream(signal, SteadyCounter());
    Pacer pacer(signal.rate);
    const Clock::time_point start = Clock::now();
    stream.Start();
    auto since_start = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

    int told = 0;
    double next_status = kStatusEvery;
    while (!stream.Finished()) {
        const StopRequests requests = StopRequestsSoFar();
        if (requests.count > told) {
            // Said even with --quiet, since someone asked.
            const double longest = LongestWayDown(signal.ramp, signal.rate, requests.count, requests.ending_soon);
            stream.Hasten(longest);
            Say(StopLine(requests.latest, requests.count, signal, longest));
            told = requests.count;
        }
        const double due = pacer.Due(stream.Count(), since_start());
        if (!SleepUntil(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(due)), told))
            continue;
        const double t = stream.NextDue();
        const bool was_stopping = stream.Stopping();
        const SignalDatagram datagram = stream.Next();
        outbox.Send(datagram.bytes, static_cast<std::int32_t>(datagram.length));

        if (options.quiet)
            continue;
        if (!was_stopping && stream.Stopping() && !stream.Finished() && told == 0)
            Say(Seconds(signal.duration) + " done: ramping down to 0 over " + Seconds(signal.ramp) +
                ", then one datagram of zeros");
        if (t >= next_status && !stream.Finished()) {
            Say(StatusLine(signal, t, stream.Count()));
            next_status += kStatusEvery;
        }
    }
    StopRequestsAnswered();
    if (!options.quiet) {
        char elapsed[32];
        std::snprintf(elapsed, sizeof(elapsed), "%.1f s", since_start());
        std::string end = "sent " + std::to_string(stream.Count()) + " datagrams in " + elapsed +
                          ", the last one all zeros";
        if (pacer.Stalls() > 0)
            end += "; held up " + std::to_string(pacer.Stalls()) + " times (the signal waited " +
                   Seconds(pacer.Shift()) + " in all)";
        Say(end);
    }
}

} // namespace

int main(int argc, char** argv)
{
    SignalOptions options;
    // From the wide command line on Windows, like the deliverables.
    if (const std::optional<int> status = cli::Run(kSignalCommandLine, ProgramArguments(argc, argv), options))
        return *status;
    if (options.list_axes) {
        std::fputs(AxesTable().c_str(), stdout);
        return 0;
    }

    // A click in the window must not hold the program inside a print, with
    // the rig where the last datagram put it.
    TurnOffQuickEdit();
    StartSockets();
    UseMillisecondTimers();
    // Only a refusal is said, even with --quiet: it may make the signal
    // uneven. A system without the call has no such throttling.
    const ThrottlingResult throttling = OptOutOfPowerThrottling();
    if (throttling.outcome == ThrottlingOptOut::Refused)
        Say(DescribeThrottlingOptOut(throttling));
    Outbox outbox;
    outbox.SetDestinations(options.destinations);
    // A failing send is said, even with --quiet: the first failure of each
    // kind, and the counts at the end.
    bool failed = false;
    outbox.SetReport([&failed](const std::string& line) {
        if (line.rfind(Outbox::kFailureLead, 0) == 0) {
            failed = true;
            Say(line);
        } else if (failed) {
            Say(line);
        }
    });
    CatchStopRequests();
    if (!options.quiet) {
        for (const std::string& note : options.notes)
            Say(note);
        Say("sending " + DescribeSignal(options.signal));
        Say("to " + DescribeDestinations(outbox.Destinations()) +
            (options.signal.duration > 0.0 ? ", for " + Seconds(options.signal.duration) + " (Ctrl+C stops it sooner)"
                                           : ", until Ctrl+C"));
    }
    Run(options, outbox);
    if (failed)
        outbox.LogCounts("sending ended");
    // Resumed from the background (bg), a signal would move the rig where
    // Ctrl+C no longer reaches it: the program ends instead.
    if (StopRequestsSoFar().suspend) {
        if (!options.quiet)
            Say("Ctrl+Z: the rig is at rest; suspending. Resumed (fg or bg), kinemora-signal ends: run it again "
                "to go on");
        Suspend();
    }
    return 0;
}
