// kinemora_mfs_2020: relays the motion of the user's aircraft in Microsoft
// Flight Simulator 2020 or 2024 (which serves it as a 2020 client) to the
// motion platform, one K2 datagram per delivery, broadcast to UDP port 50010
// unless its settings say otherwise. Runs until it is ended from outside,
// reconnecting whenever the simulator goes away (or, with
// --exit-with-simulator, until the simulator goes away).
#include "arguments.h"
#include "bridge_options.h"
#include "clock.h"
#include "instance_lock.h"
#include "kinemora_version.h"
#include "simconnect_file.h"
#include "system_info.h"
#include "bridge_settings.h"
#include "connection.h"
#include "console.h"
#include "motion_delivery.h"
#include "socket_startup.h"
#include "timers.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

// An error that ends the bridge: one line on standard error, kept readable
// in a window that was opened for the bridge alone.
int EndWithError(int status)
{
    std::fflush(stderr);
    HoldConsoleAfterError();
    return status;
}

// A path under the user's own folder, with that folder as %USERPROFILE%: the
// report holds no user name.
std::string WithoutUserFolder(const std::string& path)
{
    for (const char* variable : {"USERPROFILE", "HOME"}) {
        const char* folder = std::getenv(variable);
        const std::string lead = folder != nullptr ? folder : "";
        if (!lead.empty() && path.compare(0, lead.size(), lead) == 0)
            return std::string("%") + variable + "%" + path.substr(lead.size());
    }
    return path;
}

// The report's first lines: the program, the system, the SimConnect library and the timers.
std::string ReportHeading(const std::string& throttling)
{
    ModuleFile simconnect = SimConnectFile();
    simconnect.path = WithoutUserFolder(simconnect.path);
    return std::string("Kinemora report: kinemora_mfs_2020 ") + KINEMORA_VERSION +
           ", the bridge for MSFS 2020 and 2024\nSystem: " + SystemVersion() + "\nSimConnect library: " +
           (simconnect.path.empty() ? "not found" : simconnect.path) +
           (simconnect.version.empty() ? "" : ", file version " + simconnect.version) +
           "\nTimer resolution: " + TimerResolution() + "\n" +
           (throttling.empty() ? "" : throttling + "\n");
}

} // namespace

int main(int argc, char** argv)
{
    BridgeOptions options;
    if (const std::optional<int> status = cli::Run(kBridgeCommandLine, ProgramArguments(argc, argv), options))
        return *status == 0 ? 0 : EndWithError(*status);

    // Two bridges would send every datagram twice, with two clocks.
    if (!ClaimOnlyInstance(kBridgeProgram)) {
        std::fprintf(stderr, "kinemora_mfs_2020: another kinemora_mfs_2020 runs already and sends to the rig, so "
                             "this one ends without sending; to run this one instead, close the other one's window "
                             "(or end kinemora_mfs_2020.exe in Task Manager) and start this one again\n");
        return EndWithError(1);
    }
    StartSockets();
    UseMillisecondTimers();
    const ThrottlingResult throttling = OptOutOfPowerThrottling();
    TurnOffQuickEdit();
    Delivery delivery;
    std::string report_path;
    if (const int status = ApplyBridgeSettings(options, delivery, report_path)) {
        std::fprintf(stderr, "\n%s", cli::Usage(kBridgeCommandLine).c_str());
        return EndWithError(status);
    }
    // A refused opt-out changes nothing; the log says what it did.
    const std::string throttling_line = DescribeThrottlingOptOut(throttling);
    if (!throttling_line.empty())
        delivery.Log(throttling_line);
    std::unique_ptr<BridgeReport> report;
    if (!report_path.empty())
        report = std::make_unique<BridgeReport>(report_path, ReportHeading(throttling_line),
                                                static_cast<double>(ReadCounterFrequency()));
    CalibrateMotionClock();
    for (;;) {
        if (RunConnection(delivery, report.get()) && options.exit_with_simulator) {
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
