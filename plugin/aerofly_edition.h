#pragma once

// The Aerofly edition a build of the plug-in is for. The same sources make
// kinemora_aerofly_fs_2 and kinemora_aerofly_fs_4: the build defines
// KINEMORA_AEROFLY_EDITION (2 or 4), which names the four exports the host
// looks up, the settings file, the log and the log's first line.

#ifndef KINEMORA_AEROFLY_EDITION
#error "KINEMORA_AEROFLY_EDITION (2 or 4) names the Aerofly edition this plug-in is built for"
#endif

#define KINEMORA_AEROFLY_PASTE(edition, name) Aerofly_FS_##edition##_External_DLL_##name
#define KINEMORA_AEROFLY_EXPAND(edition, name) KINEMORA_AEROFLY_PASTE(edition, name)
#define KINEMORA_AEROFLY_QUOTE(edition) #edition
#define KINEMORA_AEROFLY_TEXT(edition) KINEMORA_AEROFLY_QUOTE(edition)

// The export as this edition's host names it: AEROFLY_EXPORT(Init) is
// Aerofly_FS_4_External_DLL_Init in the FS 4 plug-in.
#define AEROFLY_EXPORT(name) KINEMORA_AEROFLY_EXPAND(KINEMORA_AEROFLY_EDITION, name)

// "kinemora_aerofly_fs_2" or "kinemora_aerofly_fs_4": the DLL's own name, and
// that of its settings file and log beside it.
#define KINEMORA_PLUGIN_NAME "kinemora_aerofly_fs_" KINEMORA_AEROFLY_TEXT(KINEMORA_AEROFLY_EDITION)
