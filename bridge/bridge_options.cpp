#include "bridge_options.h"

// The bridge's target links kinemora_settings; its core library does not name it.
#include "option_table.h"

#include <iterator>

namespace {

const Option kOptions[] = {
    Heading("Options (the same settings can stay in kinemora_mfs_2020.ini beside the program):"),
    RepeatedText("--destination", "X",
                 "where the datagrams go instead; may repeat:\n"
                 "A.B.C.D[:PORT]   one computer, or a network's broadcast address\n"
                 "broadcast[:PORT] 255.255.255.255 (the default, port 50010)\n"
                 "adapters[:PORT]  the broadcast address of every network adapter"),
    Text("--config", "FILE", "read this settings file instead of kinemora_mfs_2020.ini"),
    Flag("--log", "write kinemora_mfs_2020.log beside the program"),
    Flag("--exit-with-simulator", "end when the simulator quits or goes away, instead of\n"
                                  "waiting for it to come back; for a bridge that the\n"
                                  "simulator starts itself (exe.xml)"),
};

const OptionTable kTable = {
    kBridgeProgram,
    "Usage: kinemora_mfs_2020 [--destination X]... [--config FILE] [--log] [--exit-with-simulator]\n"
    "                         [--version] [--help]\n"
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
};

} // namespace

std::string BridgeUsage()
{
    return Usage(kTable);
}

bool ParseBridgeOptions(const std::vector<std::string>& arguments, BridgeOptions& options, std::string& error)
{
    const CommandLine line = ReadCommandLine(kTable, arguments);
    if (TakeHelpOrVersion(line, options.help, options.version))
        return true;
    if (line.mistake) {
        // The bridge has always called a stray argument an unknown option.
        OptionMistake mistake = *line.mistake;
        if (mistake.kind == MistakeKind::Extra)
            mistake.kind = MistakeKind::Unknown;
        error = Describe(mistake);
        return false;
    }
    options.destinations = line.Texts("--destination");
    if (const GivenOption* config = line.Last("--config"))
        options.config = config->text;
    options.log = line.Has("--log");
    options.exit_with_simulator = line.Has("--exit-with-simulator");
    return true;
}
