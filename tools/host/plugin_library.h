#pragma once

// Loads a plug-in library by path and finds its four exports, the way the
// simulator does. One implementation per platform (dlopen or LoadLibrary).

#include <cstdint>
#include <string>

struct PluginExports {
    // The version query is read as a 64-bit result, so stray high bits would show.
    std::int64_t (*GetInterfaceVersion)() = nullptr;
    bool (*Init)(const void* host_value) = nullptr;
    void (*Update)(double delta_time, const std::uint8_t* stream, std::int32_t host_value, std::uint32_t count) = nullptr;
    void (*Shutdown)() = nullptr;
};

// Returns an opaque library handle, or null with the reason in error (which
// names every missing export).
void* LoadPlugin(const std::string& path, PluginExports& exports, std::string& error);

void UnloadPlugin(void* library);
