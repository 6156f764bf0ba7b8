#include "system_info.h"

#include <windows.h>

#include <cstdio>

namespace {

// ntdll's own calls: GetVersionEx tells a program without a manifest that
// Windows is 8, and the timer resolution has no other call.
template <typename Function>
Function FromNtdll(const char* name)
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name))) : nullptr;
}

} // namespace

std::string SystemVersion()
{
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    const RtlGetVersion get = FromNtdll<RtlGetVersion>("RtlGetVersion");
    if (get == nullptr || get(&version) != 0)
        return "";
    char text[64];
    std::snprintf(text, sizeof(text), "Windows %lu.%lu (build %lu)", version.dwMajorVersion, version.dwMinorVersion,
                  version.dwBuildNumber);
    return text;
}

std::string TimerResolution()
{
    using NtQueryTimerResolution = LONG(WINAPI*)(ULONG*, ULONG*, ULONG*);
    const NtQueryTimerResolution query = FromNtdll<NtQueryTimerResolution>("NtQueryTimerResolution");
    ULONG coarsest = 0, finest = 0, current = 0; // in 100 ns
    if (query == nullptr || query(&coarsest, &finest, &current) != 0)
        return "";
    char text[96];
    std::snprintf(text, sizeof(text), "%.1f ms (from %.1f to %.1f ms)", current / 1e4, finest / 1e4, coarsest / 1e4);
    return text;
}
