#include "shared_library.h"

#include <windows.h>

void* OpenSharedLibrary(const std::string& path, std::string& error)
{
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library)
        error = "Windows error " + std::to_string(GetLastError()) +
                " (126: the file or a DLL it needs is missing; 193: not a 64-bit Windows DLL)";
    return reinterpret_cast<void*>(library);
}

void* FindSymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseSharedLibrary(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}
