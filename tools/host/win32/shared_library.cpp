#include "shared_library.h"

#include <windows.h>

void* OpenSharedLibrary(const std::string& path, std::string& error)
{
    // The path is UTF-8; Windows takes any character through the wide call.
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? static_cast<std::size_t>(size) : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], size);
    HMODULE library = LoadLibraryW(wide.c_str());
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
