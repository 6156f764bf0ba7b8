#include "plugin_library.h"

#include "shared_library.h"

namespace {

template <typename Function>
void Find(void* library, const char* name, Function& function, std::string& missing)
{
    void* symbol = FindSymbol(library, name);
    if (!symbol)
        missing += std::string(missing.empty() ? "" : ", ") + name;
    function = reinterpret_cast<Function>(symbol);
}

} // namespace

void* LoadPlugin(const std::string& path, PluginExports& exports, std::string& error)
{
    std::string reason;
    void* library = OpenSharedLibrary(path, reason);
    if (!library) {
        error = "cannot load " + path + ": " + reason;
        return nullptr;
    }
    std::string missing;
    Find(library, "Aerofly_FS_2_External_DLL_GetInterfaceVersion", exports.GetInterfaceVersion, missing);
    Find(library, "Aerofly_FS_2_External_DLL_Init", exports.Init, missing);
    Find(library, "Aerofly_FS_2_External_DLL_Update", exports.Update, missing);
    Find(library, "Aerofly_FS_2_External_DLL_Shutdown", exports.Shutdown, missing);
    if (!missing.empty()) {
        error = path + " is not an Aerofly FS 2 plug-in: it lacks " + missing;
        CloseSharedLibrary(library);
        return nullptr;
    }
    return library;
}

void UnloadPlugin(void* library)
{
    CloseSharedLibrary(library);
}
