#include "system_info.h"

#include <dlfcn.h>

// Shared libraries carry no file version here.
ModuleFile ModuleFileOf(const void* address)
{
    Dl_info info;
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return {};
    return {info.dli_fname, ""};
}
