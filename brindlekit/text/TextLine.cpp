#include "brindlekit/text/TextLine.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>

namespace brindle {

namespace {

// Owned blocks carry their capacity in an 8-byte header before the text.
constexpr std::size_t kHeader = 8;

char* AllocBlock(int capacity)
{
    void* p = std::malloc(kHeader + static_cast<std::size_t>(capacity));
    if (!p) throw std::bad_alloc();
    std::memcpy(p, &capacity, sizeof capacity);
    return static_cast<char*>(p) + kHeader;
}

void FreeBlock(char* text) { std::free(text - kHeader); }

int BlockCapacity(const char* text)
{
    int capacity;
    std::memcpy(&capacity, text - kHeader, sizeof capacity);
    return capacity;
}

int CheckedLength(long long length)
{
    if (length > TextLine::kMaxLength) throw std::length_error("text line too long");
    return static_cast<int>(length);
}

// Capacity after appending up to newLength bytes to a line of the given capacity.
int Grown(int capacity, int newLength) { return newLength > capacity ? TextLine::CapacityFor(newLength) : capacity; }

} // namespace

int TextLine::Capacity() const { return Owned() ? BlockCapacity(Pointer()) : CapacityFor(Length()); }

TextLine TextLine::Create(const char* bytes, int length)
{
    TextLine line;
    CheckedLength(length);
    if (length > 0) {
        char* block = AllocBlock(CapacityFor(length));
        std::memcpy(block, bytes, static_cast<std::size_t>(length));
        line.SetOwned(block, length);
    }
    return line;
}

void TextLine::Release()
{
    if (Owned()) FreeBlock(Pointer());
    SetPointer(nullptr);
    m_nLength = 0;
}

void TextLine::SetPointer(const char* p)
{
    const auto bits = reinterpret_cast<std::uintptr_t>(p);
    // User-space addresses leave the top 16 bits clear on the platforms we build for.
    if (static_cast<std::uint64_t>(bits) >> 48) throw std::runtime_error("text line address out of range");
    m_pointerLow = static_cast<std::uint32_t>(bits);
    m_pointerHighAndFlags = (m_pointerHighAndFlags & 0xFFFF0000u) | static_cast<std::uint32_t>(static_cast<std::uint64_t>(bits) >> 32);
}

void TextLine::SetOwned(char* block, int length)
{
    SetPointer(block);
    m_nLength = kOwnedBit | static_cast<std::uint32_t>(length);
}

bool TextLine::Holds(const char* p) const
{
    if (!Pointer()) return false;
    std::less_equal<const char*> le;
    std::less<const char*> lt;
    return le(Pointer(), p) && lt(p, Pointer() + Capacity());
}

bool TextLine::Overlaps(const char* p, std::size_t count) const
{
    if (!Pointer() || count == 0) return false;
    std::less<const char*> lt;
    return lt(p, Pointer() + Capacity()) && lt(Pointer(), p + count);
}

void TextLine::Append(const char* bytes, int count)
{
    if (count <= 0) return;
    ReplaceFrom(Length(), bytes, count);
}

void TextLine::ReplaceFrom(int pos, const char* bytes, int count)
{
    const int oldCapacity = Capacity();
    const int newLength = CheckedLength(static_cast<long long>(pos) + count);
    const int newCapacity = Grown(oldCapacity, newLength);
    if (Owned() && newCapacity == oldCapacity) {
        if (count > 0) std::memmove(Pointer() + pos, bytes, static_cast<std::size_t>(count));
        SetLength(newLength);
        return;
    }
    char* block = AllocBlock(newCapacity);
    if (pos > 0) std::memcpy(block, Pointer(), static_cast<std::size_t>(pos));
    if (count > 0) std::memcpy(block + pos, bytes, static_cast<std::size_t>(count));
    if (Owned()) FreeBlock(Pointer());
    SetOwned(block, newLength);
}

void TextLine::InsertAt(int pos, const char* bytes, int count)
{
    const int length = Length();
    const int tail = length - pos;
    const int oldCapacity = Capacity();
    // Two appends: the new bytes after the cut, then the tail.
    const int withBytes = CheckedLength(static_cast<long long>(pos) + count);
    const int newLength = CheckedLength(static_cast<long long>(withBytes) + tail);
    const int newCapacity = Grown(Grown(oldCapacity, withBytes), newLength);
    if (Owned() && newCapacity == oldCapacity) {
        if (count == 0) return;
        const bool inside = Holds(bytes);
        if (inside) {
            // The source moves with the tail when it lies in it; copy it aside first.
            char* copy = static_cast<char*>(std::malloc(static_cast<std::size_t>(count)));
            if (!copy) throw std::bad_alloc();
            std::memcpy(copy, bytes, static_cast<std::size_t>(count));
            std::memmove(Pointer() + pos + count, Pointer() + pos, static_cast<std::size_t>(tail));
            std::memcpy(Pointer() + pos, copy, static_cast<std::size_t>(count));
            std::free(copy);
        } else {
            std::memmove(Pointer() + pos + count, Pointer() + pos, static_cast<std::size_t>(tail));
            std::memcpy(Pointer() + pos, bytes, static_cast<std::size_t>(count));
        }
        SetLength(newLength);
        return;
    }
    char* block = AllocBlock(newCapacity);
    if (pos > 0) std::memcpy(block, Pointer(), static_cast<std::size_t>(pos));
    if (count > 0) std::memcpy(block + pos, bytes, static_cast<std::size_t>(count));
    if (tail > 0) std::memcpy(block + withBytes, Pointer() + pos, static_cast<std::size_t>(tail));
    if (Owned()) FreeBlock(Pointer());
    SetOwned(block, newLength);
}

void TextLine::Erase(int from, int to)
{
    if (to <= from) return;
    const int length = Length();
    if (!Owned()) {
        // First change of a shared line: take a copy with the capacity it was created with.
        char* block = AllocBlock(CapacityFor(length));
        std::memcpy(block, Pointer(), static_cast<std::size_t>(length));
        SetOwned(block, length);
    }
    std::memmove(Pointer() + from, Pointer() + to, static_cast<std::size_t>(length - to));
    SetLength(length - (to - from));
}

} // namespace brindle
