#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <string_view>

namespace brindle {

// One line of a text buffer: its bytes (never a line break), length, capacity and
// flags, in 12 bytes: a text of tens of millions of lines spends a tenth of a
// gigabyte less than with a plain pointer beside the flags. The pointer's top 16
// bits, clear in user space, carry the flags (the LINEF_ bits, which are all a
// line keeps).
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

    const char* Chars() const
    {
        const char* p = Pointer();
        return p ? p : "";
    }
    int Length() const { return static_cast<int>(m_nLength & kLengthMask); }
    int Capacity() const;
    std::uint32_t Flags() const
    {
        const std::uint32_t packed = m_pointerHighAndFlags >> 16;
        return (packed & kLowFlags) | ((packed << kHighFlagsShift) & kHighFlags);
    }
    // Bits other than the LINEF_ ones are not kept.
    void SetFlags(std::uint32_t flags)
    {
        const std::uint32_t packed = (flags & kLowFlags) | ((flags & kHighFlags) >> kHighFlagsShift);
        m_pointerHighAndFlags = (m_pointerHighAndFlags & 0xFFFFu) | (packed << 16);
    }
    std::string_view Text() const { return {Chars(), static_cast<std::size_t>(Length())}; }

    // A line over bytes that outlive it and are never written (the load block);
    // length must be within 0..kMaxLength.
    static TextLine Shared(const char* bytes, int length)
    {
        TextLine line;
        line.SetPointer(length > 0 ? bytes : nullptr);
        line.m_nLength = static_cast<std::uint32_t>(length);
        return line;
    }
    // A line with its own copy of the bytes.
    static TextLine Create(const char* bytes, int length);
    // Frees the line's own storage; the line becomes empty.
    void Release();
    // Whether the line's bytes are shared ones it does not own (see Shared).
    bool IsShared() const { return Pointer() && !Owned(); }

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

    // The bookmark bits stay where they are; the marks (bits 16-20) move down to 10-14.
    static constexpr std::uint32_t kLowFlags = 0x3FFu;
    static constexpr std::uint32_t kHighFlags = 0x1F0000u;
    static constexpr int kHighFlagsShift = 6;

    char* Pointer() const
    {
        const std::uint64_t bits = (static_cast<std::uint64_t>(m_pointerHighAndFlags & 0xFFFFu) << 32) | m_pointerLow;
        return reinterpret_cast<char*>(static_cast<std::uintptr_t>(bits));
    }
    void SetPointer(const char* p);

    std::uint32_t m_pointerLow = 0;
    std::uint32_t m_pointerHighAndFlags = 0; // pointer bits 32-47, then the packed flags
    std::uint32_t m_nLength = 0;             // bit 31: the pointer is a block owned by the line
};

static_assert(sizeof(void*) != 8 || sizeof(TextLine) == 12, "TextLine must stay compact");

} // namespace brindle
