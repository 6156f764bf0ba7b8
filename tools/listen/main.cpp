// kinemora-listen: receives Kinemora motion datagrams and prints them
// decoded, or shows them in a full-screen live view, then sums them up.
#include "adapters.h"
#include "arguments.h"
#include "console.h"
#include "datagram_format.h"
#include "field_ranges.h"
#include "files.h"
#include "listen_options.h"
#include "listen_stats.h"
#include "live_view.h"
#include "port_sharing.h"
#include "socket_startup.h"
#include "terminal.h"
#include "udp_receiver.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

std::atomic<bool> interrupted{false};

void OnInterrupt(int)
{
    interrupted = true;
}

// The live view on standard output. Every way out of main leaves it through
// the destructor, which restores the screen, the cursor and (on Windows) the
// console's mode.
class LiveScreen {
public:
    bool Open(std::string& error)
    {
        open_ = OpenTerminal(error);
        return open_;
    }

    void Enter()
    {
        Write(kEnterLiveScreen);
        entered_ = true;
    }

    void Draw(const ListenStats& stats, const FieldRanges& fields, const LiveViewTime& time, const std::string& note)
    {
        int columns = 0;
        int rows = 0;
        TerminalSize(columns, rows);
        Write(ScreenFrame(LiveViewLines(stats, fields, time, columns, note), columns, rows));
    }

    void Close()
    {
        if (entered_)
            Write(kLeaveLiveScreen);
        entered_ = false;
        if (open_)
            CloseTerminal();
        open_ = false;
    }

    ~LiveScreen() { Close(); }

private:
    static void Write(const std::string& text) { WriteTerminal(text); }

    bool open_ = false;
    bool entered_ = false;
};

// This machine's subnets, for telling a network's broadcast address from its own addresses.
std::vector<Subnet> Subnets()
{
    std::vector<Subnet> subnets;
    for (const Adapter& adapter : ListAdapters())
        subnets.push_back({adapter.address, adapter.mask});
    return subnets;
}

} // namespace

int main(int argc, char** argv)
{
    // The arguments in UTF-8 (on Windows from the wide command line), so that
    // --csv may name a file in any folder.
    ListenOptions options;
    if (const std::optional<int> status = cli::Run(kListenCommandLine, ProgramArguments(argc, argv), options))
        return *status;

    std::string error;
    LiveScreen screen;
    if (options.live && !screen.Open(error)) {
        std::fprintf(stderr,
                     "kinemora-listen: --live draws a full-screen view, but %s.\n"
                     "Run it in a terminal window, or leave out --live to get one line per datagram.\n",
                     error.c_str());
        return 2;
    }

    std::FILE* csv = nullptr;
    if (!options.csv.empty()) {
        csv = OpenFile(options.csv, "w");
        if (!csv) {
            std::fprintf(stderr, "kinemora-listen: cannot write %s: %s. Check the folder and the name, or choose another file.\n",
                         options.csv.c_str(), std::strerror(errno));
            return 1;
        }
        std::fprintf(csv, "%s\n", CsvHeader().c_str());
    }

    // A click in the window must not hold the decoded lines back.
    TurnOffQuickEdit();
    StartSockets();
    bool port_held = false;
    const std::intptr_t receiver = OpenReceiver(static_cast<std::uint16_t>(options.port), error, port_held);
    if (receiver == -1) {
        if (port_held)
            std::fputs(PortHeldMessage(options.port, error).c_str(), stderr);
        else
            std::fprintf(stderr, "kinemora-listen: %s\nIs another program already using this port? Try --port.\n",
                         error.c_str());
        if (csv)
            std::fclose(csv);
        return 1;
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    std::fprintf(stderr, "kinemora-listen: listening on UDP port %lu%s\n", options.port,
                 options.count || options.timeout > 0.0 ? "" : " (Ctrl+C to stop)");

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    auto seconds_since_start = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

    ListenStats stats;
    FieldRanges fields;
    double last_draw = 0.0;
    std::string live_note; // under the live view's header once it applies
    if (options.live) {
        screen.Enter();
        screen.Draw(stats, fields, {options.port, 0.0}, live_note);
    }
    static unsigned char buffer[65536];
    const char* failure = nullptr;
    UnicastWatch unicast(Subnets);
    std::string unicast_note; // printed at once, or under the live view and again when it ends
    while (!interrupted && (options.count == 0 || stats.Total() < options.count)) {
        int wait_ms = 100; // short, so Ctrl+C and the timeout are noticed promptly
        if (options.live) {
            const double to_draw = last_draw + kLiveRedrawInterval - seconds_since_start();
            wait_ms = to_draw <= 0.0 ? 0 : static_cast<int>(to_draw * 1000.0) + 1;
        }
        if (options.timeout > 0.0) {
            const double left = options.timeout - seconds_since_start();
            if (left <= 0.0)
                break;
            if (left * 1000.0 < wait_ms)
                wait_ms = static_cast<int>(left * 1000.0) + 1;
        }
        ReceivedFrom from;
        const long length = ReceiveDatagram(receiver, buffer, sizeof(buffer), wait_ms, from);
        if (length == kReceiveFailed) {
            failure = "kinemora-listen: receiving failed, so it stopped. Start it again; if this repeats, restart the computer's network.\n";
            break;
        }
        if (length != kReceiveTimedOut) {
            const double arrival = seconds_since_start();
            const std::size_t size = static_cast<std::size_t>(length);
            const DecodedDatagram decoded = DecodeDatagram(buffer, size);
            stats.Add(arrival, from.address, decoded.kind, decoded.time_us);
            const std::string source = from.address + ":" + std::to_string(from.port);
            if (unicast.FirstUnicast(from.destination)) {
                unicast_note = UnicastNote(from.destination, options.port);
                if (options.live)
                    live_note = UnicastLiveNote(from.destination, options.port);
                else
                    std::fputs(unicast_note.c_str(), stderr);
            }
            if (options.live) {
                fields.Add(decoded, from.address);
            } else if (!options.quiet) {
                std::string line = DescribeDatagram(buffer, size);
                if (options.hex)
                    line += " hex=" + HexBytes(buffer, size, size);
                std::printf("%10.6f from=%s %s\n", arrival, source.c_str(), line.c_str());
                std::fflush(stdout);
            }
            if (csv)
                std::fprintf(csv, "%s\n", CsvRow(arrival, source, buffer, size).c_str());
        }
        const double now = seconds_since_start();
        if (options.live && now - last_draw >= kLiveRedrawInterval) {
            screen.Draw(stats, fields, {options.port, now}, live_note);
            last_draw = now;
        }
    }

    screen.Close();
    CloseReceiver(receiver);
    if (csv)
        std::fclose(csv);
    if (options.live)
        std::fputs(unicast_note.c_str(), stderr);
    if (failure)
        std::fputs(failure, stderr);
    std::fputs(stats.Summary().c_str(), stdout);
    std::fflush(stdout);
    return failure ? 1 : 0;
}
