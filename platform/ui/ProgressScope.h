#pragma once

#include "platform/Export.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace brindle {

// The progress window of one long step. Nothing is shown while the step is
// short: the window comes up at the first Update after the step has run for
// half a second, and goes down with the object.
class BRINDLEKIT_API ProgressScope {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kDelay{500};
    // Once shown, the window moves (and sees Cancel) at most this often: each
    // move lets the program redraw its windows, which costs a large step time.
    static constexpr std::chrono::milliseconds kInterval{250};

    // total 0: the size of the step is not known.
    explicit ProgressScope(std::string text, std::uint64_t total = 0);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // Moves the window to done (of the total); false once the user has cancelled,
    // and from then on.
    bool Update(std::uint64_t done);
    bool Update(std::uint64_t done, std::uint64_t total);
    bool Cancelled() const { return m_cancelled; }
    // A callback for code that reports (done, total) and stops on false.
    std::function<bool(std::uint64_t, std::uint64_t)> Callback();

    // Replaces the clock all scopes read (tests); an empty one restores steady_clock.
    static void SetClock(Clock clock);

private:
    std::string m_text;
    std::uint64_t m_total;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastUpdate;
    bool m_shown = false;
    bool m_cancelled = false;
};

} // namespace brindle
