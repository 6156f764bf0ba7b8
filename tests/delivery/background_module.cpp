// A module that starts background work and can be unloaded meanwhile.
#include "background.h"

#include <atomic>
#include <chrono>
#include <thread>

// The work sets stage to 1, waits inside this module until it is 2, then sets 3.
extern "C" bool StartHeldWork(std::atomic<int>* stage)
{
    return RunDetached([stage] {
        stage->store(1);
        while (stage->load() != 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        stage->store(3);
    });
}
