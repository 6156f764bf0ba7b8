#include "bridge_options.h"

#include <iterator>

namespace {

using Row = cli::Option<BridgeOptions>;

const Row kOptions[] = {
    {cli::Heading("Options (the same settings can stay in kinemora_mfs_2020.ini beside the program):")},
    {cli::RepeatedText("--destination", "X",
                       kRelayDestinationHelp),
     cli::SetIn<BridgeOptions, &RelayOptions::destinations>},
    {cli::Text("--config", "FILE", "read this settings file instead of kinemora_mfs_2020.ini"),
     cli::SetIn<BridgeOptions, &RelayOptions::config>},
    {cli::Switch("--log", "write kinemora_mfs_2020.log beside the program"), cli::SetIn<BridgeOptions, &RelayOptions::log>},
    {cli::Text("--report", "FILE", "write a report to FILE every 5 s and at the end: the\n"
                                   "simulator, SimConnect.dll, the connections, the deliveries\n"
                                   "and what was sent; attach it when you report a problem"),
     cli::SetIn<BridgeOptions, &RelayOptions::report>},
    {cli::Switch("--exit-with-simulator", "end when the simulator quits or goes away, instead of\n"
                                         "waiting for it to come back; for a bridge that the\n"
                                         "simulator starts itself (exe.xml)"),
     cli::SetIn<BridgeOptions, &RelayOptions::exit_with_simulator>},
};

// The bridge has always called a stray argument an unknown option.
std::string Reword(const cli::Mistake& mistake)
{
    if (mistake.kind != cli::MistakeKind::Extra)
        return "";
    return cli::Describe({cli::MistakeKind::Unknown, nullptr, mistake.argument});
}

} // namespace

const cli::Table<BridgeOptions> kBridgeCommandLine = {
    kBridgeProgram,
    "Usage: kinemora_mfs_2020 [--destination X]... [--config FILE] [--log] [--report FILE]\n"
    "                         [--exit-with-simulator] [--version] [--help]\n"
    "\n"
    "Relays the motion of your aircraft in Microsoft Flight Simulator 2020 or 2024\n"
    "to a motion platform: one UDP datagram per data delivery, by default broadcast\n"
    "to 255.255.255.255 port 50010. Start it beside the simulator; it connects when\n"
    "the simulator runs and again whenever the simulator comes back. SimConnect.dll\n"
    "from the MSFS SDK must be in the same folder. It prints one . per datagram\n"
    "sent, and an x for one that could not be sent. Close the window to stop it.\n"
    "Only one bridge runs at a time: a second one ends at once.\n"
    "\n",
    kOptions,
    std::size(kOptions),
    "\n"
    "Nothing arrives at the rig? See \"When nothing arrives\" in INSTALL.txt.\n",
    19,
    0,
    nullptr,
    Reword,
};

