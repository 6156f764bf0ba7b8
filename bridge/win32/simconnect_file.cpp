#include "simconnect_file.h"

#include <windows.h>

// The import library's thunks lie in the program; the module handle is an
// address inside the DLL itself.
ModuleFile SimConnectFile()
{
    const HMODULE module = GetModuleHandleW(L"SimConnect.dll");
    return module == nullptr ? ModuleFile() : ModuleFileOf(module);
}
