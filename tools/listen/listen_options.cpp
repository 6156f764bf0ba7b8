#include "listen_options.h"

#include <iterator>

namespace {

using Row = cli::Option<ListenOptions>;

const Row kOptions[] = {
    {cli::Heading("Options:")},
    {cli::Integer("--port", "N", "a number", 1, 65535, "UDP port to listen on (default 50010)"),
     cli::Set<&ListenOptions::port>},
    {cli::Integer("--count", "N", "a whole number", 1, cli::kNoLimit, "stop after N datagrams"),
     cli::Set<&ListenOptions::count>},
    {cli::DecimalAbove("--timeout", "S", "a number of seconds", 0, 1e9, "stop after S seconds (decimals allowed)"),
     cli::Set<&ListenOptions::timeout>},
    {cli::Text("--csv", "FILE", "also write every datagram as a CSV row to FILE", "a file name"),
     cli::Set<&ListenOptions::csv>},
    {cli::Switch("--hex", "add the datagram's bytes in hex to each line"), cli::Set<&ListenOptions::hex>},
    {cli::Switch("--quiet", "print no line per datagram, only the summary"), cli::Set<&ListenOptions::quiet>},
    {cli::Switch("--live", "show a full-screen view instead of the lines, redrawn up\n"
                   "to 10 times a second: per kind, the sender, the time field\n"
                   "and each field's latest value, with a bar that fills from\n"
                   "the smallest to the largest value seen; above them the\n"
                   "counts, rate, jitter, stalls and gaps so far. Needs a\n"
                   "terminal (on Windows, a console window of Windows 10 or\n"
                   "later). On leaving (Ctrl+C, --count or --timeout) the\n"
                   "screen comes back as it was, followed by the summary."),
     cli::Set<&ListenOptions::live>},
};

// Said this way since the first release; scripts may look for it.
std::string Reword(const cli::Mistake& mistake)
{
    if (mistake.kind != cli::MistakeKind::NoValue)
        return "";
    return "missing value for '" + std::string(mistake.option->name) + "': " + cli::Allows(*mistake.option);
}

} // namespace

const cli::Table<ListenOptions> kListenCommandLine = {
    "kinemora-listen",
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
    "\n",
    kOptions,
    std::size(kOptions),
    "\n"
    "Without --count or --timeout it runs until Ctrl+C.\n"
    "If nothing arrives: check that the simulator and the plug-in or bridge run,\n"
    "that a firewall lets UDP port 50010 in, and that both machines share a network.\n",
    18,
    0,
    nullptr,
    Reword,
};

