// kinemora-listen: receives Kinemora motion datagrams and prints them decoded.
#include "datagram_format.h"
#include "listen_stats.h"
#include "socket_startup.h"
#include "tool_platform.h"
#include "udp_receiver.h"

#include <kinemora/motion_datagram.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kUsage[] =
    "Usage: kinemora-listen [options]\n"
    "\n"
    "Receives the UDP motion datagrams that kinemora_aerofly_fs_2 (K01) and\n"
    "kinemora_mfs_2020 (K2) broadcast, and prints one decoded line per datagram\n"
    "with every field named. Ends with a summary: datagrams per kind, rate, and\n"
    "the smallest and largest gap between datagrams.\n"
    "\n"
    "Options:\n"
    "  --port N        UDP port to listen on (default 50010)\n"
    "  --count N       stop after N datagrams\n"
    "  --timeout S     stop after S seconds (decimals allowed)\n"
    "  --csv FILE      also write every datagram as a CSV row to FILE\n"
    "  --hex           add the datagram's bytes in hex to each line\n"
    "  --quiet         print no line per datagram, only the summary\n"
    "  --help          show this text\n"
    "\n"
    "Without --count or --timeout it runs until Ctrl+C.\n"
    "If nothing arrives: check that the simulator and the plug-in or bridge run,\n"
    "that a firewall lets UDP port 50010 in, and that both machines share a network.\n";

std::atomic<bool> interrupted{false};

void OnInterrupt(int)
{
    interrupted = true;
}

struct Options {
    unsigned long port = KINEMORA_PORT;
    unsigned long long count = 0; // 0: no limit
    double timeout = 0.0;         // 0: no limit
    std::string csv;
    bool hex = false;
    bool quiet = false;
};

bool ParseWhole(const char* text, unsigned long long max, unsigned long long& value)
{
    char* end = nullptr;
    if (*text < '0' || *text > '9')
        return false;
    value = std::strtoull(text, &end, 10);
    return *end == '\0' && value <= max;
}

// Returns 0 to go on, 2 for a usage error, or -1 after --help (main then exits 0).
int ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        unsigned long long whole = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        } else if (arg == "--hex") {
            options.hex = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--port" && has_value) {
            if (!ParseWhole(argv[++i], 65535, whole) || whole == 0) {
                std::fprintf(stderr, "kinemora-listen: --port wants a number from 1 to 65535, not '%s'\n", argv[i]);
                return 2;
            }
            options.port = static_cast<unsigned long>(whole);
        } else if (arg == "--count" && has_value) {
            if (!ParseWhole(argv[++i], ~0ull, whole) || whole == 0) {
                std::fprintf(stderr, "kinemora-listen: --count wants a whole number of at least 1, not '%s'\n", argv[i]);
                return 2;
            }
            options.count = whole;
        } else if (arg == "--timeout" && has_value) {
            char* end = nullptr;
            options.timeout = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(options.timeout > 0.0) || options.timeout > 1e9) {
                std::fprintf(stderr, "kinemora-listen: --timeout wants a number of seconds above 0, not '%s'\n", argv[i]);
                return 2;
            }
        } else if (arg == "--csv" && has_value) {
            options.csv = argv[++i];
        } else {
            const bool wants_value = arg == "--port" || arg == "--count" || arg == "--timeout" || arg == "--csv";
            std::fprintf(stderr, "kinemora-listen: %s '%s'. Try --help.\n",
                         wants_value ? "missing value for" : "unknown option", argv[i]);
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (int code = ParseOptions(argc, argv, options))
        return code < 0 ? 0 : code;

    std::FILE* csv = nullptr;
    if (!options.csv.empty()) {
        csv = std::fopen(options.csv.c_str(), "w");
        if (!csv) {
            std::fprintf(stderr, "kinemora-listen: cannot write %s: %s\n", options.csv.c_str(), std::strerror(errno));
            return 1;
        }
        std::fprintf(csv, "%s\n", CsvHeader().c_str());
    }

    StartSockets();
    std::string error;
    const std::intptr_t receiver = OpenReceiver(static_cast<std::uint16_t>(options.port), error);
    if (receiver == -1) {
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
    static unsigned char buffer[65536];
    int exit_code = 0;
    while (!interrupted && (options.count == 0 || stats.Total() < options.count)) {
        int wait_ms = 100; // short, so Ctrl+C and the timeout are noticed promptly
        if (options.timeout > 0.0) {
            const double left = options.timeout - seconds_since_start();
            if (left <= 0.0)
                break;
            if (left * 1000.0 < wait_ms)
                wait_ms = static_cast<int>(left * 1000.0) + 1;
        }
        ReceivedFrom from;
        const long length = ReceiveDatagram(receiver, buffer, sizeof(buffer), wait_ms, from);
        if (length == kReceiveTimedOut)
            continue;
        if (length == kReceiveFailed) {
            std::fprintf(stderr, "kinemora-listen: receiving failed; stopping\n");
            exit_code = 1;
            break;
        }
        const double arrival = seconds_since_start();
        const std::size_t size = static_cast<std::size_t>(length);
        stats.Add(kinemora_classify(buffer, size), arrival);
        const std::string source = from.address + ":" + std::to_string(from.port);
        if (!options.quiet) {
            std::string line = DescribeDatagram(buffer, size);
            if (options.hex)
                line += " hex=" + HexBytes(buffer, size, size);
            std::printf("%10.6f from=%s %s\n", arrival, source.c_str(), line.c_str());
            std::fflush(stdout);
        }
        if (csv)
            std::fprintf(csv, "%s\n", CsvRow(arrival, source, buffer, size).c_str());
    }

    CloseReceiver(receiver);
    if (csv)
        std::fclose(csv);
    std::fputs(stats.Summary().c_str(), stdout);
    std::fflush(stdout);
    return exit_code;
}
