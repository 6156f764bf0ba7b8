#include "shared_library.h"

#include <dlfcn.h>

void* OpenSharedLibrary(const std::string& path, std::string& error)
{
    // Without a slash dlopen would search the library path instead of the folder.
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        error = dlerror();
    return library;
}

void* FindSymbol(void* library, const char* name)
{
    return dlsym(library, name);
}

void CloseSharedLibrary(void* library)
{
    dlclose(library);
}
