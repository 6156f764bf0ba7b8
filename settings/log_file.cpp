#include "log_file.h"

#include "files.h"

#include <ctime>

bool LogFile::Open(const std::string& path)
{
    Close();
    file_ = OpenFile(path, "ab");
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
        // The full file is kept once, as .1; the old .1 goes first, so that
        // a failure names the file that another program holds open. Windows
        // renames no file that is open, so the log is closed first.
        std::fclose(file_);
        const std::string kept = path_ + ".1";
        const bool kept_gone = RemoveFileIfPresent(kept);
        const bool rotated = kept_gone && RenameReplacing(path_, kept);
        file_ = OpenFile(path_, "ab");
        if (file_ == nullptr)
            return;
        if (!rotated) {
            // At most one such line past the cap: a log that already holds
            // it, from an earlier run, gets nothing more.
            const std::string held = kept_gone ? path_ : kept;
            if (size_ <= kMostBytes)
                Append(stamp + std::string("the log is full and cannot begin anew: another program holds ") +
                       held.substr(held.find_last_of("/\\") + 1) +
                       " open; close that program and the log begins anew at the next start\n");
            Close();
            return;
        }
        size_ = 0;
    }
    Append(text);
}

void LogFile::Append(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
    size_ += static_cast<long>(text.size());
}
