#include "bridge_platform.h"

#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// POSIX sleeps already have a fine resolution.
void RaiseTimerResolution() {}

void SleepMilliseconds(std::uint32_t milliseconds)
{
    timespec wait{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    timespec left;
    while (nanosleep(&wait, &left) != 0)
        wait = left;
}

// The monotonic clock counts nanoseconds.
std::int64_t ReadCounterFrequency()
{
    return 1000000000;
}

std::int64_t ReadCounter()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Terminals hold no writes for a selection.
void TurnOffQuickEdit() {}

// A lock on a file in the temporary folder, held until the process ends.
bool OtherBridgeWithSimulator(bool claim)
{
    // Only the bridge that claims the lock makes its file.
    const int fd = open("/tmp/kinemora_mfs_2020-exit-with-simulator.lock", O_RDWR | O_CLOEXEC | (claim ? O_CREAT : 0),
                        0666);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return true;
    }
    if (!claim)
        close(fd); // closing lets go of the lock
    return false;
}
