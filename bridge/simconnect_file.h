#pragma once

// The SimConnect library this bridge loaded: its file and file version. One
// file per platform.

#include "system_info.h"

ModuleFile SimConnectFile();
