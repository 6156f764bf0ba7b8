// kinemora_xplane: relays the motion of the user's aircraft in X-Plane 11 or
// 12 to the motion platform: one K2 datagram, as the MSFS bridge sends it, per
// frame that X-Plane sends, broadcast to UDP port 50010 unless its settings
// say otherwise. Runs until it is ended, asking X-Plane again whenever it goes
// away (or, with --exit-with-simulator, until X-Plane goes away).
#include "arguments.h"
#include "end_request.h"
#include "kinemora_version.h"
#include "relay_start.h"
#include "system_info.h"
#include "udp_endpoint.h"
#include "xplane_link.h"
#include "xplane_options.h"

#include <optional>

namespace {

std::string ReportHeading(const std::string& throttling)
{
    return std::string("Kinemora report: kinemora_xplane ") + KINEMORA_VERSION + ", the relay for X-Plane 11 and 12" +
           "\nSystem: " + SystemVersion() + "\nTimer resolution: " + TimerResolution() + "\n" +
           (throttling.empty() ? "" : throttling + "\n");
}

} // namespace

int main(int argc, char** argv)
{
    XPlaneOptions options;
    if (const std::optional<int> status = cli::Run(kXPlaneCommandLine, ProgramArguments(argc, argv), options))
        return *status == 0 ? 0 : EndWithError(*status);
    Relay relay{kXPlaneProgram, SettingsFor::XPlane, {}, {}, nullptr};
    if (const std::optional<int> status = StartRelay(options, cli::Usage(kXPlaneCommandLine), ReportHeading, relay))
        return *status;

    const bool named = !options.xplane.empty();
    Endpoint xplane;
    std::string version;
    if (!FindXPlane(named ? options.xplane : relay.settings.xplane, named ? "--xplane" : "xplane in the settings",
                    relay, xplane, version))
        return EndWithError(2);
    // One socket asks and hears: X-Plane answers to the port a request came from.
    std::string error;
    const std::intptr_t socket = OpenUdp(0, error);
    if (socket == -1) {
        Say(relay, error + "; restart the program, and the PC if that does not help");
        return EndWithError(1);
    }
    CatchEndRequests();
    const int status = RelayXPlane(socket, xplane, version, relay, options.exit_with_simulator);
    CloseUdp(socket);
    return status;
}
