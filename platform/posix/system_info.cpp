#include "system_info.h"

#include <sys/utsname.h>

#include <cstdio>
#include <ctime>

std::string SystemVersion()
{
    utsname name;
    if (uname(&name) != 0)
        return "";
    return std::string(name.sysname) + " " + name.release;
}

std::string TimerResolution()
{
    timespec resolution;
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0)
        return "";
    char text[64];
    std::snprintf(text, sizeof(text), "%ld ns (the monotonic clock)",
                  static_cast<long>(resolution.tv_sec) * 1000000000L + resolution.tv_nsec);
    return text;
}
