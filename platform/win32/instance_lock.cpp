#include "instance_lock.h"

#include "wide_text.h"

#include <windows.h>

#include <string>

// A mutex of this session, held until the process ends.
bool ClaimOnlyInstance(const char* name)
{
    // A new mutex need not clear the last error: clear it first.
    SetLastError(ERROR_SUCCESS);
    const std::wstring mutex_name = L"Local\\Kinemora." + Wide(name);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, mutex_name.c_str());
    // Access denied: a process of another elevation (a bridge started by a
    // simulator run as administrator, say) made the mutex, and this one may not open it.
    if (mutex == nullptr)
        return GetLastError() != ERROR_ACCESS_DENIED;
    return GetLastError() != ERROR_ALREADY_EXISTS;
}
