#pragma once

// The four functions the host looks up by name, undecorated, with the
// edition in the name (Aerofly_FS_2_External_DLL_Init for Aerofly FS 2,
// Aerofly_FS_4_External_DLL_Init for FS 4). None of them reports a failure,
// and none lets an exception reach the host.

#include "aerofly_edition.h"

#include <cstdint>

extern "C" {

// 2, 64 bits wide, so the value reads 2 whether the host takes 32 or 64 bits.
std::int64_t AEROFLY_EXPORT(GetInterfaceVersion)();

// Clears the telemetry snapshot and applies the settings file, if there is
// one; the argument is never read. Always true.
bool AEROFLY_EXPORT(Init)(const void* host_value);

// One frame: the stream of count message records. The first and third
// arguments are never read.
void AEROFLY_EXPORT(Update)(double delta_time, const std::uint8_t* message_list_received_byte_stream,
                            std::int32_t host_value, std::uint32_t message_list_received_count);

// Ends what the settings file started: the log's counts, the monitor window.
// Without a file it does nothing.
void AEROFLY_EXPORT(Shutdown)();

} // extern "C"
