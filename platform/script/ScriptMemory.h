#pragma once

#include "platform/Export.h"
#include "platform/script/ScriptString.h"

#include <cstddef>
#include <limits>
#include <utility>

namespace brindle::vbs {

// The memory script values hold (strings, arrays, collections, class
// instances) and the budget the running engine allows them. Both are kept per
// thread, as an engine runs on one: the count covers every value made on the
// thread, including those that outlive their engine; the budget is the one of
// the engine running, none outside a run. Values are counted whole (a string
// by its characters, an array by its elements' slots), never per character.
namespace memory {

constexpr size_t kUnlimited = std::numeric_limits<size_t>::max();

// Throws ScriptError 7 (Out of memory) when bytes more would pass the running
// engine's budget. A bulk amount also brings that engine's next stop check
// forward, so that a few slow statements are asked about like many quick ones.
BRINDLEKIT_API void Require(size_t bytes);
// Work over this many characters that allocates nothing (a search through a
// long text): a bulk amount brings the stop check forward.
BRINDLEKIT_API void NoteWork(size_t characters);
// The bytes counted now on this thread.
BRINDLEKIT_API size_t Live();

// Before building a string of this many units: a long one must fit the
// budget before it is made (a short one is checked as it becomes a value).
inline void RequireText(size_t units)
{
    if (units >= 4096) Require(units * sizeof(char16_t));
}

// Appends to a string being built, checking the budget whenever the string
// must grow.
inline void Append(VbString& out, VbStringView piece)
{
    if (out.size() + piece.size() > out.capacity()) Require(2 * (out.size() + piece.size()) * sizeof(char16_t));
    out.append(piece);
}

// While it lives, the budget of the engine running on this thread and the
// countdown to that engine's next stop check (set to 0 after bulk work).
class BRINDLEKIT_API RunScope {
public:
    RunScope(size_t budget, int& stopCheckCountdown);
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    size_t m_savedBudget;
    int* m_savedCountdown;
};

} // namespace memory

// The bytes one value holds, counted while it lives. Growing checks the
// budget first (throws 7, leaving the charge as it was); a copy charges its
// own bytes again.
class BRINDLEKIT_API MemoryCharge {
public:
    MemoryCharge() = default;
    explicit MemoryCharge(size_t bytes) { Resize(bytes); }
    MemoryCharge(const MemoryCharge& other) : MemoryCharge(other.m_bytes) {}
    MemoryCharge(MemoryCharge&& other) noexcept : m_bytes(std::exchange(other.m_bytes, 0)) {}
    MemoryCharge& operator=(const MemoryCharge& other)
    {
        Resize(other.m_bytes);
        return *this;
    }
    MemoryCharge& operator=(MemoryCharge&& other) noexcept;
    ~MemoryCharge() { Release(); }

    size_t Bytes() const { return m_bytes; }
    void Resize(size_t bytes);
    void Grow(size_t more) { Resize(m_bytes + more); }
    void Release() noexcept;

private:
    size_t m_bytes = 0;
};

} // namespace brindle::vbs
