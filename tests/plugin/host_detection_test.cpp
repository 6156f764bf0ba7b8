// kinemora-host finds which of the two editions' export sets a library has:
// the two plug-ins themselves, and test libraries with both sets, and with
// neither set complete.
#include "plugin_library.h"
#include "shared_library.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Name(int edition, const char* function)
{
    return "Aerofly_FS_" + std::to_string(edition) + "_External_DLL_" + function;
}

struct Case {
    const char* path;
    int edition; // 0: refused
    std::string said; // DescribePlugin's line, or LoadPlugin's error
};

TEST(HostDetection, EachLibraryIsTheEditionWhoseFourExportsItHas)
{
    const std::string what_to_do = "; name a plug-in that has all four exports of either, such as "
                                   "kinemora_aerofly_fs_2.dll or kinemora_aerofly_fs_4.dll";
    const Case cases[] = {
        {KINEMORA_FS2_PLUGIN, 2, KINEMORA_FS2_PLUGIN " is an Aerofly FS 2 plug-in"},
        {KINEMORA_FS4_PLUGIN, 4, KINEMORA_FS4_PLUGIN " is an Aerofly FS 4 plug-in"},
        {KINEMORA_BOTH_SETS, 2, KINEMORA_BOTH_SETS " has the exports of both an Aerofly FS 2 and an Aerofly FS 4 "
                                "plug-in; driving its Aerofly FS 2 exports"},
        // Three of FS 4's four against one of FS 2's.
        {KINEMORA_MOSTLY_FS4, 0, KINEMORA_MOSTLY_FS4 " is not an Aerofly FS 2 or FS 4 plug-in: of the Aerofly FS 4 "
                                 "exports it lacks Aerofly_FS_4_External_DLL_Shutdown" + what_to_do},
        // One of each: a tie names FS 2's.
        {KINEMORA_ONE_OF_EACH, 0, KINEMORA_ONE_OF_EACH " is not an Aerofly FS 2 or FS 4 plug-in: of the Aerofly FS 2 "
                                  "exports it lacks Aerofly_FS_2_External_DLL_Init, Aerofly_FS_2_External_DLL_Update, "
                                  "Aerofly_FS_2_External_DLL_Shutdown" + what_to_do},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PluginExports exports;
        std::string error;
        void* library = LoadPlugin(c.path, exports, error);
        EXPECT_EQ(library != nullptr, c.edition != 0);
        if (!library) {
            EXPECT_EQ(error, c.said);
            continue;
        }
        EXPECT_EQ(exports.edition, c.edition);
        EXPECT_EQ(DescribePlugin(c.path, exports), c.said);
        // Every function of the one set, none of the other's.
        EXPECT_EQ(reinterpret_cast<void*>(exports.GetInterfaceVersion),
                  FindSymbol(library, Name(c.edition, "GetInterfaceVersion").c_str()));
        EXPECT_EQ(reinterpret_cast<void*>(exports.Init), FindSymbol(library, Name(c.edition, "Init").c_str()));
        EXPECT_EQ(reinterpret_cast<void*>(exports.Update), FindSymbol(library, Name(c.edition, "Update").c_str()));
        EXPECT_EQ(reinterpret_cast<void*>(exports.Shutdown), FindSymbol(library, Name(c.edition, "Shutdown").c_str()));
        UnloadPlugin(library);
    }
}

} // namespace
