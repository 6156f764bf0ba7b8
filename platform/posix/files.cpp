#include "files.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

std::string ModuleFolder(void* /*module_handle*/, const void* address_in_module)
{
    Dl_info info;
    if (dladdr(address_in_module, &info) == 0 || info.dli_fname == nullptr)
        return std::string();
    return FolderOf(info.dli_fname);
}

std::string ProgramFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return std::string();
    return FolderOf(std::string(path, static_cast<std::size_t>(n)));
}

std::FILE* OpenFile(const std::string& path, const char* mode, bool* missing)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr && missing != nullptr)
        *missing = errno == ENOENT;
    return file;
}

bool RenameReplacing(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFileIfPresent(const std::string& path)
{
    return std::remove(path.c_str()) == 0 || errno == ENOENT;
}
