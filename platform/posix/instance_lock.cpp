#include "instance_lock.h"

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// A lock on a file in the temporary folder, held until the process ends.
bool ClaimOnlyInstance(const char* name)
{
    // In $TMPDIR when set, so that each private test network has its own.
    const char* folder = std::getenv("TMPDIR");
    const std::string path =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/" + name + ".lock";
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_CREAT, 0666);
    // Another user's lock file may be read-only to this one; a lock needs no writing.
    if (fd < 0)
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true; // without the file there is no telling; better one instance too many than none
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    return true;
}
