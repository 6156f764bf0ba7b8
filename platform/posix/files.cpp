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

FileRead ReadFileText(const std::string& path, std::size_t max_bytes, std::string& text)
{
    text.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    text.resize(max_bytes + 1);
    const std::size_t n = std::fread(&text[0], 1, text.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    text.resize(failed || n > max_bytes ? 0 : n);
    if (failed)
        return FileRead::Failed;
    return n > max_bytes ? FileRead::TooLarge : FileRead::Read;
}

std::FILE* OpenForAppend(const std::string& path)
{
    return std::fopen(path.c_str(), "ab");
}

std::FILE* OpenForWriting(const std::string& path)
{
    return std::fopen(path.c_str(), "w");
}

bool RenameReplacing(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFileIfPresent(const std::string& path)
{
    return std::remove(path.c_str()) == 0 || errno == ENOENT;
}
