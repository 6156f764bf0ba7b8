// Background work keeps its module loaded until it ends, and no longer.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

bool Loaded()
{
    void* module = dlopen(KINEMORA_BACKGROUND_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (module != nullptr)
        dlclose(module);
    return module != nullptr;
}

bool WaitFor(const std::function<bool()>& condition)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace

TEST(RunDetached, KeepsItsModuleLoadedWhileTheWorkRuns)
{
    void* module = dlopen(KINEMORA_BACKGROUND_MODULE, RTLD_NOW);
    ASSERT_NE(module, nullptr) << dlerror();
    auto start = reinterpret_cast<bool (*)(std::atomic<int>*)>(dlsym(module, "StartHeldWork"));
    ASSERT_NE(start, nullptr);
    std::atomic<int> stage{0};
    ASSERT_TRUE(start(&stage));
    ASSERT_TRUE(WaitFor([&] { return stage.load() == 1; }));

    dlclose(module); // the host unloads the plug-in during the work
    EXPECT_TRUE(Loaded()) << "the work's own reference keeps the module";
    stage.store(2);
    ASSERT_TRUE(WaitFor([&] { return stage.load() == 3; }));
    EXPECT_TRUE(WaitFor([] { return !Loaded(); })) << "the module goes once the work has ended";
}
