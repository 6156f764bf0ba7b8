#include "log_file.h"

#include "files.h"

#include <ctime>

bool LogFile::Open(const std::string& path)
{
    Close();
    file_ = OpenForAppend(path);
    if (file_ == nullptr)
        return false;
    path_ = path;
    std::fseek(file_, 0, SEEK_END);
    size_ = std::ftell(file_);
    return true;
}

void LogFile::Close()
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

void LogFile::Write(const std::string& line)
{
    if (file_ == nullptr)
        return;
    char stamp[32] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %H:%M:%S ", local);
    const std::string text = stamp + line + "\n";
    if (size_ > 0 && size_ + static_cast<long>(text.size()) > kMostBytes) {
        // The full file is kept once, as .1; the old .1 goes.
        std::fclose(file_);
        file_ = nullptr;
        RenameReplacing(path_, path_ + ".1");
        file_ = OpenForAppend(path_);
        size_ = 0;
        if (file_ == nullptr)
            return;
    }
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
    size_ += static_cast<long>(text.size());
}
