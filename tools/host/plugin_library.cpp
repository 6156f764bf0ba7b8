#include "plugin_library.h"

#include "shared_library.h"

#include <algorithm>
#include <vector>

namespace {

// FS 2 first: it is driven when a library has both sets, and named on a tie.
constexpr int kEditions[] = {2, 4};

struct ExportSet {
    PluginExports exports;
    std::vector<std::string> missing;
};

template <typename Function>
void Find(void* library, int edition, const char* function, Function& pointer, std::vector<std::string>& missing)
{
    const std::string name = "Aerofly_FS_" + std::to_string(edition) + "_External_DLL_" + function;
    void* symbol = FindSymbol(library, name.c_str());
    if (!symbol)
        missing.push_back(name);
    pointer = reinterpret_cast<Function>(symbol);
}

ExportSet FindExports(void* library, int edition)
{
    ExportSet set;
    set.exports.edition = edition;
    Find(library, edition, "GetInterfaceVersion", set.exports.GetInterfaceVersion, set.missing);
    Find(library, edition, "Init", set.exports.Init, set.missing);
    Find(library, edition, "Update", set.exports.Update, set.missing);
    Find(library, edition, "Shutdown", set.exports.Shutdown, set.missing);
    return set;
}

std::string Edition(int edition)
{
    return "Aerofly FS " + std::to_string(edition);
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
    std::vector<ExportSet> sets;
    for (int edition : kEditions)
        sets.push_back(FindExports(library, edition));
    // The first of the sets that lack the fewest exports.
    const auto closest = std::min_element(sets.begin(), sets.end(), [](const ExportSet& a, const ExportSet& b) {
        return a.missing.size() < b.missing.size();
    });
    if (!closest->missing.empty()) {
        std::string missing;
        for (const std::string& name : closest->missing)
            missing += (missing.empty() ? "" : ", ") + name;
        error = path + " is not an Aerofly FS 2 or FS 4 plug-in: of the " + Edition(closest->exports.edition) +
                " exports it lacks " + missing + "; name a plug-in that has all four exports of either, such as "
                "kinemora_aerofly_fs_2.dll or kinemora_aerofly_fs_4.dll";
        CloseSharedLibrary(library);
        return nullptr;
    }
    exports = closest->exports;
    exports.both_editions =
        std::all_of(sets.begin(), sets.end(), [](const ExportSet& set) { return set.missing.empty(); });
    return library;
}

std::string DescribePlugin(const std::string& path, const PluginExports& exports)
{
    if (exports.both_editions)
        return path + " has the exports of both an Aerofly FS 2 and an Aerofly FS 4 plug-in; driving its " +
               Edition(exports.edition) + " exports";
    return path + " is an " + Edition(exports.edition) + " plug-in";
}

void UnloadPlugin(void* library)
{
    CloseSharedLibrary(library);
}
