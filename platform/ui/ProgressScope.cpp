#include "platform/ui/ProgressScope.h"

#include "platform/ui/UIServices.h"

namespace brindle {

namespace {

ProgressScope::Clock& ClockInForce()
{
    static ProgressScope::Clock clock;
    return clock;
}

std::chrono::steady_clock::time_point Now()
{
    return ClockInForce() ? ClockInForce()() : std::chrono::steady_clock::now();
}

} // namespace

void ProgressScope::SetClock(Clock clock) { ClockInForce() = std::move(clock); }

ProgressScope::ProgressScope(std::string text, std::uint64_t total)
    : m_text(std::move(text)), m_total(total), m_start(Now())
{
}

ProgressScope::~ProgressScope()
{
    if (m_shown) UIServices().EndProgress();
}

bool ProgressScope::Update(std::uint64_t done, std::uint64_t total)
{
    m_total = total;
    return Update(done);
}

bool ProgressScope::Update(std::uint64_t done)
{
    if (m_cancelled) return false;
    const auto now = Now();
    if (!m_shown) {
        if (now - m_start <= kDelay) return true;
        UIServices().BeginProgress(m_text);
        m_shown = true;
    } else if (now - m_lastUpdate < kInterval) {
        return true; // redrawing the window for every piece would slow the step down
    }
    m_lastUpdate = now;
    m_cancelled = !UIServices().UpdateProgress(done, m_total);
    return !m_cancelled;
}

std::function<bool(std::uint64_t, std::uint64_t)> ProgressScope::Callback()
{
    return [this](std::uint64_t done, std::uint64_t total) { return Update(done, total); };
}

} // namespace brindle
