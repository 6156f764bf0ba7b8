#include "bridge_platform.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

// A lock on a file in the temporary folder, held until the process ends.
bool ClaimOnlyBridge()
{
    // In $TMPDIR when set, so that each private test network has its own.
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                             "/kinemora_mfs_2020.lock";
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_CREAT, 0666);
    // Another user's lock file may be read-only to this one; a lock needs no writing.
    if (fd < 0)
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true; // without the file there is no telling; better one bridge too many than none
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    return true;
}

// A terminal outlives the program; there is nothing to hold.
void HoldConsoleAfterError() {}
