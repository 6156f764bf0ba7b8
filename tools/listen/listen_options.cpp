#include "listen_options.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char kUsage[] =
    "Usage: kinemora-listen [options]\n"
    "\n"
    "Receives the UDP motion datagrams that kinemora_aerofly_fs_2 (K01) and\n"
    "kinemora_mfs_2020 (K2) broadcast, and prints one decoded line per datagram\n"
    "with every field named. Ends with a summary: datagrams per kind; the rate;\n"
    "the gaps between datagrams (smallest, median, 99th percentile, largest) and\n"
    "their jitter (standard deviation); stalls, the gaps over three times the\n"
    "median; per sender and kind, the time field's wraps, restarts, backward\n"
    "steps and jumps (steps more than 100 ms off the arrival gap); and the\n"
    "datagrams per sender address when several send.\n"
    "\n"
    "Options:\n"
    "  --port N        UDP port to listen on (default 50010)\n"
    "  --count N       stop after N datagrams\n"
    "  --timeout S     stop after S seconds (decimals allowed)\n"
    "  --csv FILE      also write every datagram as a CSV row to FILE\n"
    "  --hex           add the datagram's bytes in hex to each line\n"
    "  --quiet         print no line per datagram, only the summary\n"
    "  --live          show a full-screen view instead of the lines, redrawn up\n"
    "                  to 10 times a second: per kind, the sender, the time field\n"
    "                  and each field's latest value, with a bar that fills from\n"
    "                  the smallest to the largest value seen; above them the\n"
    "                  counts, rate, jitter, stalls and gaps so far. Needs a\n"
    "                  terminal (on Windows, a console window of Windows 10 or\n"
    "                  later). On leaving (Ctrl+C, --count or --timeout) the\n"
    "                  screen comes back as it was, followed by the summary.\n"
    "  --help          show this text\n"
    "\n"
    "Without --count or --timeout it runs until Ctrl+C.\n"
    "If nothing arrives: check that the simulator and the plug-in or bridge run,\n"
    "that a firewall lets UDP port 50010 in, and that both machines share a network.\n";

bool ParseWhole(const char* text, unsigned long long max, unsigned long long& value)
{
    char* end = nullptr;
    if (*text < '0' || *text > '9')
        return false;
    value = std::strtoull(text, &end, 10);
    return *end == '\0' && value <= max;
}

} // namespace

int ParseListenOptions(int argc, char** argv, ListenOptions& options)
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
        } else if (arg == "--live") {
            options.live = true;
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
