#include "report_text.h"

#include "files.h"
#include "send_errors.h"

#include <cmath>
#include <cstdio>

std::string Spread(const Histogram& values)
{
    if (values.Count() == 0)
        return "none yet";
    return "lowest " + std::to_string(values.Percentile(0)) + ", median " + std::to_string(values.Percentile(50)) +
           ", highest " + std::to_string(values.Percentile(100));
}

std::string Timing(const Histogram& nanoseconds)
{
    if (nanoseconds.Count() == 0)
        return "none yet";
    char text[128];
    std::snprintf(text, sizeof(text), "median %.1f us, 99th percentile %.1f us, largest %.1f us",
                  static_cast<double>(nanoseconds.Percentile(50)) / 1e3,
                  static_cast<double>(nanoseconds.Percentile(99)) / 1e3,
                  static_cast<double>(nanoseconds.Percentile(100)) / 1e3);
    return text;
}

void PerSecond::Add(double seconds)
{
    if (!started_) {
        started_ = true;
        second_start_ = seconds;
    }
    // Each whole second that ended before this event, the empty ones too.
    while (seconds - second_start_ >= 1.0) {
        counts_.Add(in_second_);
        in_second_ = 0;
        second_start_ += 1.0;
    }
    ++in_second_;
}

std::string LocalTime(std::time_t when)
{
    char text[32] = "";
    if (const std::tm* local = std::localtime(&when))
        std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", local);
    return text;
}

std::string SendingSection(const SendTally& tally, const std::string& destinations)
{
    std::uint64_t failures = 0;
    for (const FailureCount& kind : tally.failures)
        failures += kind.count;
    std::string text = "Sending\n  datagrams sent: " + std::to_string(tally.datagrams) + "\n  failures: " +
                       (failures == 0 ? "none" : std::to_string(failures)) + "\n";
    for (const FailureCount& kind : tally.failures)
        text += "    " + std::string(SendStepName(kind.step)) + " error " + std::to_string(kind.error) + ": " +
                std::to_string(kind.count) + " (" + ExplainSendFailure(kind.step, kind.error) + ")\n";
    return text + "  destinations: " + destinations + "\n";
}

bool WriteReportFile(const std::string& path, const std::string& text)
{
    const std::string partial = path + ".partial";
    std::FILE* file = OpenFile(partial, "w");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written && RenameReplacing(partial, path);
}
