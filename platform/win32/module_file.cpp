#include "system_info.h"

#include "wide_text.h"

#include <windows.h>

#include <cstdio>
#include <vector>

// Apart from SystemVersion, so that only a program that asks for a module's
// file imports version.dll.
ModuleFile ModuleFileOf(const void* address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return {};
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH * 4);
    if (length == 0 || length == MAX_PATH * 4)
        return {};
    ModuleFile file{Utf8(path), ""};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<unsigned char> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixed_size = 0;
    if (size != 0 && GetFileVersionInfoW(path, 0, size, info.data()) &&
        VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) && fixed != nullptr) {
        char text[64];
        std::snprintf(text, sizeof(text), "%u.%u.%u.%u", static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
                      static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)),
                      static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)),
                      static_cast<unsigned>(LOWORD(fixed->dwFileVersionLS)));
        file.version = text;
    }
    return file;
}
