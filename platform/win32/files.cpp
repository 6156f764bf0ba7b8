#include "files.h"

#include "wide_text.h"

#include <cwchar>
#include <vector>

namespace {

// The folder of a module's file; long paths are asked for again with more room.
std::string FolderOfModule(HMODULE module)
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::string();
        if (n < path.size()) {
            std::wstring folder(path.data(), n);
            const std::size_t slash = folder.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::string() : Utf8(folder.substr(0, slash + 1).c_str());
        }
        if (path.size() >= 32768)
            return std::string();
        path.resize(path.size() * 2);
    }
}

} // namespace

std::string ModuleFolder(void* module_handle, const void* /*address_in_module*/)
{
    return module_handle == nullptr ? std::string() : FolderOfModule(static_cast<HMODULE>(module_handle));
}

std::string ProgramFolder()
{
    return FolderOfModule(nullptr);
}

std::FILE* OpenFile(const std::string& path, const char* mode, bool* missing)
{
    std::FILE* file = _wfopen(Wide(path).c_str(), Wide(mode).c_str());
    if (file == nullptr && missing != nullptr)
        *missing = GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES;
    return file;
}

bool RenameReplacing(const std::string& from, const std::string& to)
{
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool RemoveFileIfPresent(const std::string& path)
{
    return DeleteFileW(Wide(path).c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
}
