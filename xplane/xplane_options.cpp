#include "xplane_options.h"

#include <iterator>

namespace {

using Row = cli::Option<XPlaneOptions>;

const Row kOptions[] = {
    {cli::Heading("Options (the same settings can stay in kinemora_xplane.ini beside the program):")},
    {cli::Text("--xplane", "HOST[:PORT]", "X-Plane's computer (its name or address) and receive port\n"
                                          "(default 49000), instead of finding it by its beacon"),
     cli::Set<&XPlaneOptions::xplane>},
    {cli::RepeatedText("--destination", "X",
                       kRelayDestinationHelp),
     cli::SetIn<XPlaneOptions, &RelayOptions::destinations>},
    {cli::Text("--config", "FILE", "read this settings file instead of kinemora_xplane.ini"),
     cli::SetIn<XPlaneOptions, &RelayOptions::config>},
    {cli::Switch("--log", "write kinemora_xplane.log beside the program"), cli::SetIn<XPlaneOptions, &RelayOptions::log>},
    {cli::Text("--report", "FILE", "write a report to FILE every 5 s and at the end: X-Plane,\n"
                                   "its first values, the connections and what was sent;\n"
                                   "attach it when you report a problem"),
     cli::SetIn<XPlaneOptions, &RelayOptions::report>},
    {cli::Switch("--exit-with-simulator", "end when X-Plane goes away, instead of waiting for it\n"
                                         "to come back"),
     cli::SetIn<XPlaneOptions, &RelayOptions::exit_with_simulator>},
};

} // namespace

const cli::Table<XPlaneOptions> kXPlaneCommandLine = {
    kXPlaneProgram,
    "Usage: kinemora_xplane [--xplane HOST[:PORT]] [--destination X]... [--config FILE] [--log]\n"
    "                       [--report FILE] [--exit-with-simulator] [--version] [--help]\n"
    "\n"
    "Relays the motion of your aircraft in X-Plane 11 or 12 to a motion platform:\n"
    "one K2 datagram, as the MSFS bridge sends it, per frame that X-Plane sends,\n"
    "by default broadcast to 255.255.255.255 port 50010. It finds X-Plane by the\n"
    "beacon X-Plane sends on the local network, on this PC or another, and asks\n"
    "it for the aircraft's motion; nothing needs to be installed in X-Plane. It\n"
    "prints one . per datagram sent, and an x for one that could not be sent.\n"
    "Close the window to stop it. Only one runs at a time.\n"
    "\n",
    kOptions,
    std::size(kOptions),
    "\n"
    "Nothing arrives? See \"X-Plane\" in INSTALL.txt: X-Plane 12 answers only\n"
    "with \"accept incoming connections\" on in its network settings.\n",
    23,
};
