// kinemora_mfs_2020: relays the motion of the user's aircraft in Microsoft
// Flight Simulator 2020 or 2024 (which serves it as a 2020 client) to the
// motion platform, one K2 datagram per delivery, broadcast to UDP port 50010
// unless its settings say otherwise. Runs until it is ended from outside,
// reconnecting whenever the simulator goes away (or, with
// --exit-with-simulator, until the simulator goes away).
#include "arguments.h"
#include "bridge_options.h"
#include "clock.h"
#include "connection.h"
#include "kinemora_version.h"
#include "motion_delivery.h"
#include "relay_start.h"
#include "simconnect_file.h"
#include "system_info.h"

#include <cstdio>
#include <optional>

namespace {

// The report's first lines: the program, the system, the SimConnect library and the timers.
std::string ReportHeading(const std::string& throttling)
{
    ModuleFile simconnect = SimConnectFile();
    simconnect.path = WithoutUserFolder(simconnect.path);
    return std::string("Kinemora report: kinemora_mfs_2020 ") + KINEMORA_VERSION +
           ", the bridge for MSFS 2020 and 2024\nSystem: " + SystemVersion() + "\nSimConnect library: " +
           (simconnect.path.empty() ? "not found" : simconnect.path) +
           (simconnect.version.empty() ? "" : ", file version " + simconnect.version) +
           "\nTimer resolution: " + TimerResolution() + "\n" + (throttling.empty() ? "" : throttling + "\n");
}

} // namespace

int main(int argc, char** argv)
{
    BridgeOptions options;
    if (const std::optional<int> status = cli::Run(kBridgeCommandLine, ProgramArguments(argc, argv), options))
        return *status == 0 ? 0 : EndWithError(*status);
    Relay relay{kBridgeProgram, SettingsFor::Bridge, {}, {}, nullptr};
    if (const std::optional<int> status = StartRelay(options, cli::Usage(kBridgeCommandLine), ReportHeading, relay))
        return *status;
    Delivery& delivery = relay.delivery;
    RelayReport* report = relay.report.get();
    CalibrateMotionClock();
    for (;;) {
        if (RunConnection(delivery, report) && options.exit_with_simulator) {
            if (report)
                report->Write(delivery);
            std::fprintf(stderr, "\nkinemora_mfs_2020: the simulator has gone; ending (--exit-with-simulator)\n");
            return 0;
        }
        if (report)
            report->WriteIfDue(ReadCounter(), delivery);
        SleepMilliseconds(1000);
    }
}
