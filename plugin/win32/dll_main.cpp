// The library entry, called by the loader after the static objects exist and
// before they are destroyed.
#include "monitor.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH)
        module_handle = instance;
    // A monitor that was never stopped holds the module until its thread has
    // ended, so at unload it is over or the process is ending. Its thread
    // object lets go of it here: destroyed still holding a thread, it would
    // end the process.
    if (reason == DLL_PROCESS_DETACH)
        ReleaseMonitorAtUnload();
    return TRUE;
}
