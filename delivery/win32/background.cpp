#include "background.h"

#include <windows.h>

#include <new>
#include <utility>

namespace {

struct Detached {
    std::function<void()> work;
    HMODULE module;
};

DWORD WINAPI RunAndLetGo(void* parameter)
{
    Detached* detached = static_cast<Detached*>(parameter);
    try {
        detached->work();
    } catch (...) {
        // Nothing to tell, and nobody to tell it to: the work is lost.
    }
    const HMODULE module = detached->module;
    delete detached;
    // This may be the module's last reference: the thread must not return
    // into code that is gone.
    FreeLibraryAndExitThread(module, 0);
    return 0;
}

} // namespace

bool RunDetached(std::function<void()> work)
{
    Detached* detached = new (std::nothrow) Detached{std::move(work), nullptr};
    if (detached == nullptr)
        return false;
    // The reference is taken before the thread exists, and handed to it: no
    // thread runs this module's code unpinned.
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&RunAndLetGo),
                            &detached->module)) {
        delete detached;
        return false;
    }
    HANDLE thread = CreateThread(nullptr, 0, &RunAndLetGo, detached, 0, nullptr);
    if (thread == nullptr) {
        FreeLibrary(detached->module);
        delete detached;
        return false;
    }
    CloseHandle(thread);
    return true;
}
