#pragma once

// The plug-in's report, NAME.report.txt beside the DLL, when its settings
// say report = on. Update only counts; a thread of the plug-in's own, which
// keeps the DLL loaded while it runs, writes the whole file anew every 60 s
// while frames come, and once more at Shutdown.

#include "delivery.h"
#include "tm_external_message.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PluginReport {
public:
    // Starts the report's thread; null when no thread could be had.
    static std::unique_ptr<PluginReport> Start(const std::string& path, const std::string& heading);
    // Lets the thread write once more and end, without waiting for it.
    ~PluginReport();

    // Update: one frame, from the counter's ticks when it began and ended,
    // and what the delivery has sent so far.
    void Frame(const std::vector<tm_external_message>& records, std::int64_t begin_ticks, std::int64_t end_ticks,
               const Delivery& delivery);

    // Shutdown: writes the file once more and waits for it, at most 5 s.
    void Finish();

    struct Shared;

private:
    explicit PluginReport(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    std::shared_ptr<Shared> shared_;
};
