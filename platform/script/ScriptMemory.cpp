#include "platform/script/ScriptMemory.h"

#include "platform/script/ScriptError.h"

#include <cstdint>

namespace brindle::vbs {

namespace {

// Larger allocations and scans take long enough that reading the clock after
// them costs nothing in comparison.
constexpr size_t kBulkBytes = 64 * 1024;

// The count, budget and stop-check countdown of this thread. Signed: a value
// released on another thread than the one that made it lowers that thread's
// count instead. Initial-exec: one load, as the library is loaded with the
// program.
struct Running {
    int64_t live = 0;
    size_t budget = memory::kUnlimited;
    int* stopCheckCountdown = nullptr;
};
[[gnu::tls_model("initial-exec")]] thread_local Running t_running;

void Check(const Running& running, size_t bytes)
{
    if (bytes >= kBulkBytes && running.stopCheckCountdown) *running.stopCheckCountdown = 0;
    const size_t live = running.live > 0 ? static_cast<size_t>(running.live) : 0;
    if (bytes > running.budget || live > running.budget - bytes) throw ScriptError(err::kOutOfMemory);
}

} // namespace

namespace memory {

void Require(size_t bytes) { Check(t_running, bytes); }

void NoteWork(size_t characters)
{
    if (characters * sizeof(char16_t) >= kBulkBytes && t_running.stopCheckCountdown)
        *t_running.stopCheckCountdown = 0;
}

size_t Live() { return t_running.live > 0 ? static_cast<size_t>(t_running.live) : 0; }

RunScope::RunScope(size_t budget, int& stopCheckCountdown)
    : m_savedBudget(t_running.budget), m_savedCountdown(t_running.stopCheckCountdown)
{
    t_running.budget = budget;
    t_running.stopCheckCountdown = &stopCheckCountdown;
}

RunScope::~RunScope()
{
    t_running.budget = m_savedBudget;
    t_running.stopCheckCountdown = m_savedCountdown;
}

} // namespace memory

MemoryCharge& MemoryCharge::operator=(MemoryCharge&& other) noexcept
{
    if (this != &other) {
        Release();
        m_bytes = std::exchange(other.m_bytes, 0);
    }
    return *this;
}

void MemoryCharge::Resize(size_t bytes)
{
    Running& running = t_running;
    if (bytes > m_bytes) Check(running, bytes - m_bytes);
    running.live += static_cast<int64_t>(bytes) - static_cast<int64_t>(m_bytes);
    m_bytes = bytes;
}

void MemoryCharge::Release() noexcept
{
    t_running.live -= static_cast<int64_t>(m_bytes);
    m_bytes = 0;
}

} // namespace brindle::vbs
