#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace brindle {

// How far a blocking step has come: written by the step, read by the caller.
struct FtpStepProgress {
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0}; // 0 while unknown
};

using FtpStepReport = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Runs one blocking network step on a worker thread and returns once it has
// ended, so that the step stays synchronous for its caller while the calling
// thread keeps the user interface alive. About ten times a second the calling
// thread reports the step's advance: to `report` when one is given, otherwise to
// a progress window with `text` (shown only once the step has run for half a
// second, so a quick step shows nothing). The first report that gives false
// calls `cancel` on the calling thread, which must make the step end soon;
// reports stop from then on. `step` must not throw.
void RunFtpStep(const std::string& text, const std::function<void()>& step, const FtpStepProgress& progress,
                const FtpStepReport& report, const std::function<void()>& cancel);

} // namespace brindle
