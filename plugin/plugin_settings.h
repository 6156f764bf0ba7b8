#pragma once

// The plug-in's settings file, kinemora_aerofly_fs_2.ini (kinemora_aerofly_fs_4.ini
// for FS 4) in the folder that holds the DLL, applied to the plug-in's
// delivery and monitor: where the datagrams go, the log beside the DLL and
// the monitor window. Without the file the plug-in sends to
// 255.255.255.255:50010, writes nothing and shows nothing; a file with
// mistakes opens the log for that Init, so that its reasons are written down.

#include <cstdint>

// Init: reads the file again and applies it; a missing file means the defaults.
void ApplyPluginSettings();

// Shutdown: the counts to the log; the monitor window stopped, if the file
// started it.
void EndPluginSettings();

// The frame path's sink: the datagram to every destination.
void SendPluginDatagram(const void* data, std::int32_t length);
