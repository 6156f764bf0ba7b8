#include "plugin_report.h"

#include "background.h"
#include "clock.h"
#include "frame_report.h"

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>

struct PluginReport::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    FrameReport report;
    std::string path;
    std::string heading;
    double ticks_per_second = 1.0;
    std::uint64_t destination_changes = ~std::uint64_t{0};
    std::uint64_t frames_written = 0;
    bool finish = false;
    bool done = false;
};

namespace {

constexpr std::chrono::seconds kWriteEvery{60};

// The report's thread: writes while frames come, and when told to finish.
void WriteWhileFlying(const std::shared_ptr<PluginReport::Shared>& shared)
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        shared->wake.wait_for(lock, kWriteEvery, [&] { return shared->finish; });
        if (shared->finish || shared->report.Frames() != shared->frames_written) {
            shared->frames_written = shared->report.Frames();
            const std::string text = shared->report.Text(shared->heading, std::time(nullptr));
            lock.unlock();
            WriteReportFile(shared->path, text);
            lock.lock();
        }
        if (shared->finish) {
            shared->done = true;
            shared->wake.notify_all();
            return;
        }
    }
}

} // namespace

std::unique_ptr<PluginReport> PluginReport::Start(const std::string& path, const std::string& heading)
{
    auto shared = std::make_shared<Shared>();
    shared->path = path;
    shared->heading = heading;
    shared->ticks_per_second = static_cast<double>(ReadCounterFrequency());
    if (!RunDetached([shared] { WriteWhileFlying(shared); }))
        return nullptr;
    return std::unique_ptr<PluginReport>(new PluginReport(shared));
}

PluginReport::~PluginReport()
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->finish = true;
    shared_->wake.notify_all();
}

void PluginReport::Frame(const std::vector<tm_external_message>& records, std::int64_t begin_ticks,
                         std::int64_t end_ticks, const Delivery& delivery)
{
    const double ticks = shared_->ticks_per_second;
    const auto update_ns = static_cast<std::uint64_t>(static_cast<double>(end_ticks - begin_ticks) * 1e9 / ticks);
    std::lock_guard<std::mutex> lock(shared_->mutex);
    FrameReport& report = shared_->report;
    report.AddFrame(records, static_cast<double>(begin_ticks) / ticks, std::time(nullptr), update_ns);
    const SendTally& tally = delivery.Tally();
    report.Sending().datagrams = tally.datagrams;
    if (report.Sending().failures.size() != tally.failures.size() ||
        (!tally.failures.empty() && report.Sending().failures.back().count != tally.failures.back().count))
        report.Sending().failures = tally.failures;
    if (delivery.DestinationChanges() != shared_->destination_changes) {
        shared_->destination_changes = delivery.DestinationChanges();
        report.Destinations() = delivery.DescribedDestinations();
    }
}

void PluginReport::Finish()
{
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->finish = true;
    shared_->wake.notify_all();
    shared_->wake.wait_for(lock, std::chrono::seconds(5), [&] { return shared_->done; });
}
