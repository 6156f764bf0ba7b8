#include "simconnect_file.h"

#include "simconnect_api.h"

ModuleFile SimConnectFile()
{
    return ModuleFileOf(reinterpret_cast<const void*>(&SimConnect_Open));
}
