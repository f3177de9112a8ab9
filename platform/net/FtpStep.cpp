#include "platform/net/FtpStep.h"

#include "platform/ui/ProgressScope.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace brindle {

namespace {
constexpr std::chrono::milliseconds kReportInterval{100};
}

void RunFtpStep(const std::string& text, const std::function<void()>& step, const FtpStepProgress& progress,
                const FtpStepReport& report, const std::function<void()>& cancel)
{
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::thread worker([&] {
        step();
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        ended.notify_one();
    });
    std::optional<ProgressScope> window;
    if (!report) window.emplace(text);
    bool cancelled = false;
    std::unique_lock<std::mutex> lock(mutex);
    while (!ended.wait_for(lock, kReportInterval, [&] { return finished; })) {
        if (cancelled) continue;
        lock.unlock(); // the report may run the event loop for a while
        const std::uint64_t done = progress.done, total = progress.total;
        const bool go = report ? report(done, total) : window->Update(done, total);
        if (!go) {
            cancelled = true;
            cancel();
        }
        lock.lock();
    }
    lock.unlock();
    worker.join();
}

} // namespace brindle
