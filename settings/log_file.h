#pragma once

// A deliverable's log, beside it: one line per event, with the local time,
// appended and flushed at once. It grows to at most 1 MB; then it becomes
// NAME.log.1, replacing the one before, and a new file begins. When another
// program holds NAME.log.1 or NAME.log open, the log ends with a line that
// names that file and closes: it never holds more than 1 MB and that line,
// and the next Open tries again. Never a line per frame: the deliverables
// write only at start, at the end and on events.

#include <cstdio>
#include <string>

class LogFile {
public:
    static constexpr long kMostBytes = 1024 * 1024;

    LogFile() = default;
    ~LogFile() { Close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens path for appending; false when it cannot be written.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    // One line; the time and the line end are added.
    void Write(const std::string& line);

private:
    void Append(const std::string& text);

    std::FILE* file_ = nullptr;
    std::string path_;
    long size_ = 0;
};
