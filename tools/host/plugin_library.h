#pragma once

// Loads a plug-in library by path and finds its four exports, the way the
// simulator does: Aerofly FS 2 looks up Aerofly_FS_2_External_DLL_Init and
// the rest, Aerofly FS 4 the same functions as Aerofly_FS_4_External_DLL_*.
// A library may carry either set. One implementation per platform (dlopen or
// LoadLibrary) underneath.

#include <cstdint>
#include <string>

struct PluginExports {
    // The version query is read as a 64-bit result, so stray high bits would show.
    std::int64_t (*GetInterfaceVersion)() = nullptr;
    bool (*Init)(const void* host_value) = nullptr;
    void (*Update)(double delta_time, const std::uint8_t* stream, std::int32_t host_value, std::uint32_t count) = nullptr;
    void (*Shutdown)() = nullptr;
    // The Aerofly edition whose exports these are: 2 or 4.
    int edition = 0;
    // The library also has the other edition's four exports (FS 2's are the ones used).
    bool both_editions = false;
};

// Returns an opaque library handle with the exports of the edition whose four
// the library has (FS 2's when it has both), or null with the reason in
// error: for a library with neither set complete, what it lacks of the set it
// comes closest to (FS 2's on a tie), and what to do.
void* LoadPlugin(const std::string& path, PluginExports& exports, std::string& error);

// One line on what the loaded library is, e.g. "kinemora_aerofly_fs_4.dll is
// an Aerofly FS 4 plug-in", and which set is driven when it has both.
std::string DescribePlugin(const std::string& path, const PluginExports& exports);

void UnloadPlugin(void* library);
