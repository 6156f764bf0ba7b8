#include "files.h"

FileRead ReadFileText(const std::string& path, std::size_t max_bytes, std::string& text)
{
    text.clear();
    bool missing = false;
    std::FILE* file = OpenFile(path, "rb", &missing);
    if (file == nullptr)
        return missing ? FileRead::Missing : FileRead::Failed;
    text.resize(max_bytes + 1);
    const std::size_t n = std::fread(&text[0], 1, text.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    text.resize(failed || n > max_bytes ? 0 : n);
    if (failed)
        return FileRead::Failed;
    return n > max_bytes ? FileRead::TooLarge : FileRead::Read;
}
