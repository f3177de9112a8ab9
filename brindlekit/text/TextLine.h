#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <string_view>

namespace brindle {

// One line of a text buffer: its bytes (never a line break), length, capacity and
// flags, in 16 bytes.
//
// Capacity follows one rule: a line created with n bytes has capacity
// (n / 16 + 1) * 16, and an append that would exceed the capacity raises it to
// ((length + added) / 16 + 1) * 16; it never shrinks. Lines loaded from a file
// share the buffer's read block and are copied into a block of their own (with that
// capacity, recorded in the block's header) the first time they change.
//
// A TextLine is a plain handle: the buffer that owns it calls Release exactly once.
class BRINDLEKIT_API TextLine {
public:
    // Longest line the buffer holds; longer ones raise std::length_error.
    static constexpr int kMaxLength = 0x7FFFFF00;

    static constexpr int CapacityFor(int length) { return (length / 16 + 1) * 16; }

    TextLine() = default;

    const char* Chars() const { return m_pcLine ? m_pcLine : ""; }
    int Length() const { return static_cast<int>(m_nLength & kLengthMask); }
    int Capacity() const;
    std::uint32_t Flags() const { return m_dwFlags; }
    void SetFlags(std::uint32_t flags) { m_dwFlags = flags; }
    std::string_view Text() const { return {Chars(), static_cast<std::size_t>(Length())}; }

    // A line over bytes that outlive it and are never written (the load block);
    // length must be within 0..kMaxLength.
    static TextLine Shared(const char* bytes, int length)
    {
        TextLine line;
        line.m_pcLine = length > 0 ? const_cast<char*>(bytes) : nullptr;
        line.m_nLength = static_cast<std::uint32_t>(length);
        return line;
    }
    // A line with its own copy of the bytes.
    static TextLine Create(const char* bytes, int length);
    // Frees the line's own storage; the line becomes empty.
    void Release();
    // Whether the line's bytes are shared ones it does not own (see Shared).
    bool IsShared() const { return m_pcLine && !Owned(); }

    // The editing steps, each with the capacity rule. The bytes passed in may lie
    // inside this line.
    void Append(const char* bytes, int count);
    // Length := pos, then Append.
    void ReplaceFrom(int pos, const char* bytes, int count);
    // Cuts the tail at pos, appends the bytes, then appends the tail again.
    void InsertAt(int pos, const char* bytes, int count);
    // Removes [from, to).
    void Erase(int from, int to);

    // Whether the byte at p, or any of the count bytes from p, lies in this line's storage.
    bool Holds(const char* p) const;
    bool Overlaps(const char* p, std::size_t count) const;

private:
    static constexpr std::uint32_t kOwnedBit = 0x80000000u;
    static constexpr std::uint32_t kLengthMask = 0x7FFFFFFFu;

    bool Owned() const { return (m_nLength & kOwnedBit) != 0; }
    void SetOwned(char* block, int length);
    void SetLength(int length) { m_nLength = (m_nLength & kOwnedBit) | static_cast<std::uint32_t>(length); }

    char* m_pcLine = nullptr;
    std::uint32_t m_nLength = 0; // bit 31: m_pcLine is a block owned by the line
    std::uint32_t m_dwFlags = 0;
};

static_assert(sizeof(void*) != 8 || sizeof(TextLine) == 16, "TextLine must stay compact");

} // namespace brindle
