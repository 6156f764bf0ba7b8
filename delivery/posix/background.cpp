#include "background.h"

#include <dlfcn.h>
#include <link.h>
#include <pthread.h>

#include <new>
#include <utility>

namespace {

// A reference to the module that holds this code, from the loader, or null.
void* PinThisModule()
{
    Dl_info info;
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&PinThisModule), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        map == nullptr)
        return nullptr;
    // The loader lists the program itself without a name; dlopen(nullptr) refers to it.
    return dlopen(map->l_name[0] == '\0' ? nullptr : map->l_name, RTLD_LAZY | RTLD_NOLOAD);
}

// Hands the module's reference back as the thread ends, after its last
// instruction in this module: a thread-specific value's destructor is called
// by the C library once the thread function has returned, so dlclose may
// unload the module then. dlclose is called through a destructor's type:
// its int result, which nobody reads, is all that differs.
class ReleaseAtThreadEnd {
public:
    ReleaseAtThreadEnd()
    {
        using Destructor = void (*)(void*);
        made_ = pthread_key_create(&key_, reinterpret_cast<Destructor>(reinterpret_cast<void (*)()>(&dlclose))) == 0;
    }
    ~ReleaseAtThreadEnd()
    {
        // The module is being unloaded, so no thread holds it any more.
        if (made_)
            pthread_key_delete(key_);
    }
    void Hold(void* module) const
    {
        if (made_)
            pthread_setspecific(key_, module);
    }

private:
    pthread_key_t key_{};
    bool made_ = false;
};

const ReleaseAtThreadEnd release_at_thread_end;

struct Detached {
    std::function<void()> work;
    void* module;
};

void* RunAndLetGo(void* parameter)
{
    Detached* detached = static_cast<Detached*>(parameter);
    try {
        detached->work();
    } catch (...) {
        // Nothing to tell, and nobody to tell it to: the work is lost.
    }
    void* module = detached->module;
    delete detached;
    // Without the thread's value, the module stays loaded for good rather
    // than unloaded under this thread's feet.
    release_at_thread_end.Hold(module);
    return nullptr;
}

} // namespace

bool RunDetached(std::function<void()> work)
{
    void* module = PinThisModule();
    if (module == nullptr)
        return false;
    Detached* detached = new (std::nothrow) Detached{std::move(work), module};
    pthread_attr_t attributes;
    pthread_t thread;
    bool started = false;
    if (detached != nullptr && pthread_attr_init(&attributes) == 0) {
        pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
        started = pthread_create(&thread, &attributes, &RunAndLetGo, detached) == 0;
        pthread_attr_destroy(&attributes);
    }
    if (!started) {
        delete detached;
        dlclose(module);
    }
    return started;
}
