// kinemora_mfs_2020: relays the motion of the user's aircraft in Microsoft
// Flight Simulator 2020 to the motion platform, one K2 datagram per delivery,
// broadcast to UDP port 50010 unless its settings say otherwise. Runs until it
// is ended from outside, reconnecting whenever the simulator goes away (or,
// with --exit-with-simulator, until the simulator goes away).
#include "bridge_options.h"
#include "bridge_platform.h"
#include "bridge_settings.h"
#include "connection.h"
#include "files.h"
#include "kinemora_version.h"
#include "motion_delivery.h"
#include "socket_startup.h"

#include <cstdio>

int main(int argc, char** argv)
{
    BridgeOptions options;
    std::string error;
    if (!ParseBridgeOptions(ProgramArguments(argc, argv), options, error)) {
        std::fprintf(stderr, "kinemora_mfs_2020: %s\n\n%s", error.c_str(), kBridgeUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kBridgeUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("kinemora_mfs_2020 %s\n", KINEMORA_VERSION);
        return 0;
    }

    // A bridge that the simulator started runs already: a second one would
    // send every datagram twice.
    if (OtherBridgeWithSimulator(options.exit_with_simulator)) {
        std::fprintf(stderr, "kinemora_mfs_2020: a bridge started with --exit-with-simulator runs already, so this "
                             "one ends; close that one first to run another\n");
        return 0;
    }
    StartSockets();
    RaiseTimerResolution();
    TurnOffQuickEdit();
    if (const int status = ApplyBridgeSettings(options)) {
        std::fprintf(stderr, "\n%s", kBridgeUsage);
        return status;
    }
    CalibrateMotionClock();
    for (;;) {
        if (RunConnection() && options.exit_with_simulator) {
            std::fprintf(stderr, "\nkinemora_mfs_2020: the simulator has gone; ending (--exit-with-simulator)\n");
            return 0;
        }
        SleepMilliseconds(1000);
    }
}
