#include "bridge_options.h"

const char kBridgeUsage[] =
    "Usage: kinemora_mfs_2020 [--destination X]... [--config FILE] [--log] [--exit-with-simulator]\n"
    "                         [--version] [--help]\n"
    "\n"
    "Relays the motion of your aircraft in Microsoft Flight Simulator 2020 to a\n"
    "motion platform: one UDP datagram per data delivery, by default broadcast to\n"
    "255.255.255.255 port 50010. Start it beside the simulator; it connects when\n"
    "the simulator runs and again whenever the simulator comes back. SimConnect.dll\n"
    "from the MSFS SDK must be in the same folder. It prints one . per datagram\n"
    "sent, and an x for one that could not be sent. Close the window to stop it.\n"
    "Only one bridge runs at a time: a second one ends at once.\n"
    "\n"
    "Options (the same settings can stay in kinemora_mfs_2020.ini beside the program):\n"
    "  --destination X  where the datagrams go instead; may repeat:\n"
    "                   A.B.C.D[:PORT]   one computer, or a network's broadcast address\n"
    "                   broadcast[:PORT] 255.255.255.255 (the default, port 50010)\n"
    "                   adapters[:PORT]  the broadcast address of every network adapter\n"
    "  --config FILE    read this settings file instead of kinemora_mfs_2020.ini\n"
    "  --log            write kinemora_mfs_2020.log beside the program\n"
    "  --exit-with-simulator\n"
    "                   end when the simulator quits or goes away, instead of\n"
    "                   waiting for it to come back; for a bridge that the\n"
    "                   simulator starts itself (exe.xml)\n"
    "  --version        show the version\n"
    "  --help           show this text\n"
    "\n"
    "Nothing arrives at the rig? See \"When nothing arrives\" in INSTALL.txt.\n";

bool ParseBridgeOptions(const std::vector<std::string>& arguments, BridgeOptions& options, std::string& error)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        const bool has_value = i + 1 < arguments.size();
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--log") {
            options.log = true;
        } else if (arg == "--exit-with-simulator") {
            options.exit_with_simulator = true;
        } else if (arg == "--destination" || arg == "--config") {
            if (!has_value || arguments[i + 1].empty()) {
                error = arg + " needs a value";
                return false;
            }
            if (arg == "--destination")
                options.destinations.push_back(arguments[++i]);
            else
                options.config = arguments[++i];
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}
