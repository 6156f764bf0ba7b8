// The deliverables' log: lines with the time, appended, and at most 1 MB
// before the file is kept once as .log.1.
#include "log_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string TempFolder()
{
    char pattern[] = "/tmp/kinemora-log-XXXXXX";
    const char* folder = mkdtemp(pattern);
    return folder != nullptr ? std::string(folder) + "/" : std::string();
}

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

long Size(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<long>(in.tellg()) : -1;
}

} // namespace

TEST(LogFile, AppendsStampedLines)
{
    const std::string path = TempFolder() + "kinemora.log";
    {
        std::ofstream earlier(path);
        earlier << "an earlier run\n";
    }
    LogFile log;
    ASSERT_TRUE(log.Open(path));
    log.Write("first");
    log.Write("second");
    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "an earlier run");
    // "2026-12-09 03:15:26 first"
    EXPECT_EQ(lines[1].size(), 20u + 5u);
    EXPECT_EQ(lines[1].substr(4, 1) + lines[1].substr(7, 1) + lines[1].substr(10, 1) + lines[1].substr(13, 1) +
                  lines[1].substr(16, 1),
              "-- ::");
    EXPECT_EQ(lines[1].substr(20), "first");
    EXPECT_EQ(lines[2].substr(20), "second");
}

TEST(LogFile, KeepsTheFullFileOnceAsDotOneAndBeginsAnew)
{
    const std::string folder = TempFolder();
    const std::string path = folder + "kinemora.log";
    {
        std::ofstream old(path + ".1");
        old << "the oldest log, replaced\n";
    }
    LogFile log;
    ASSERT_TRUE(log.Open(path));
    const std::string text(100, 'x');
    // 121 bytes a line with the time and the line end: 8665 lines fit in 1 MB (1,048,576 bytes).
    for (int i = 0; i < 8665; ++i)
        log.Write(text);
    EXPECT_EQ(Size(path), 8665L * 121);
    EXPECT_EQ(Lines(path + ".1").size(), 1u) << "the oldest log is still there";

    log.Write(std::string(99, 'y') + "!"); // 121 bytes again: one too many
    EXPECT_EQ(Size(path + ".1"), 8665L * 121);
    const std::vector<std::string> fresh = Lines(path);
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].substr(20), std::string(99, 'y') + "!");
    EXPECT_LE(Size(path), LogFile::kMostBytes);
}

TEST(LogFile, AClosedOrUnwritableLogWritesNothing)
{
    LogFile log;
    log.Write("nowhere");
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.Open("/nonexistent-folder/kinemora.log"));
    log.Write("still nowhere");
}

// Another program holds the old log open, so the full one cannot become .1:
// the log stops at its cap with one line that says so, and tries again at the
// next Open. A folder that is not empty stands in for the held file here.
TEST(LogFile, StopsAtItsCapWhenItCannotBeginAnew)
{
    const std::string folder = TempFolder();
    const std::string path = folder + "kinemora.log";
    ASSERT_EQ(mkdir((path + ".1").c_str(), 0700), 0);
    std::ofstream(path + ".1/held") << "held\n";
    const std::string full = "the log is full and cannot begin anew: another program holds kinemora.log.1 open; "
                             "close that program and the log begins anew at the next start";

    LogFile log;
    ASSERT_TRUE(log.Open(path));
    for (int i = 0; i < 8665; ++i)
        log.Write(std::string(100, 'x')); // 121 bytes a line: 8665 fit in 1 MB
    for (int i = 0; i < 3; ++i)
        log.Write(std::string(100, 'y')); // none fits
    EXPECT_FALSE(log.IsOpen());
    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 8666u);
    EXPECT_EQ(lines.back().substr(20), full);
    EXPECT_EQ(Size(path), 8665L * 121 + 20 + static_cast<long>(full.size()) + 1); // 1 MB at most, and that line

    // The next start, still held: nothing more, not even the line again.
    ASSERT_TRUE(log.Open(path));
    log.Write("started again");
    EXPECT_EQ(Lines(path), lines);

    // Let go: the full log is kept as .1 and a new one begins.
    ASSERT_EQ(std::remove((path + ".1/held").c_str()), 0);
    ASSERT_EQ(rmdir((path + ".1").c_str()), 0);
    ASSERT_TRUE(log.Open(path));
    log.Write("started anew");
    EXPECT_EQ(Lines(path + ".1"), lines);
    ASSERT_EQ(Lines(path).size(), 1u);
    EXPECT_EQ(Lines(path)[0].substr(20), "started anew");
}
