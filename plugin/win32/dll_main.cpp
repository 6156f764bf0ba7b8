// The library entry, called by the loader after the static objects exist.
#include "module_handle.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH)
        module_handle = instance;
    return TRUE;
}
