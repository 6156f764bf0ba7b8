// kinemora_mfs_2020: relays the motion of the user's aircraft in Microsoft
// Flight Simulator 2020 to the motion platform, one K2 datagram per delivery,
// broadcast to UDP port 50010. Takes no arguments and runs until it is ended
// from outside, reconnecting whenever the simulator goes away.
#include "bridge_platform.h"
#include "connection.h"
#include "motion_delivery.h"
#include "socket_startup.h"

int main()
{
    StartSockets();
    RaiseTimerResolution();
    TurnOffQuickEdit();
    CalibrateMotionClock();
    for (;;) {
        RunConnection();
        SleepMilliseconds(1000);
    }
}
