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

int TextLine::Capacity() const { return Owned() ? BlockCapacity(m_pcLine) : CapacityFor(Length()); }

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
    if (Owned()) FreeBlock(m_pcLine);
    m_pcLine = nullptr;
    m_nLength = 0;
}

void TextLine::SetOwned(char* block, int length)
{
    m_pcLine = block;
    m_nLength = kOwnedBit | static_cast<std::uint32_t>(length);
}

bool TextLine::Holds(const char* p) const
{
    if (!m_pcLine) return false;
    std::less_equal<const char*> le;
    std::less<const char*> lt;
    return le(m_pcLine, p) && lt(p, m_pcLine + Capacity());
}

bool TextLine::Overlaps(const char* p, std::size_t count) const
{
    if (!m_pcLine || count == 0) return false;
    std::less<const char*> lt;
    return lt(p, m_pcLine + Capacity()) && lt(m_pcLine, p + count);
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
        if (count > 0) std::memmove(m_pcLine + pos, bytes, static_cast<std::size_t>(count));
        SetLength(newLength);
        return;
    }
    char* block = AllocBlock(newCapacity);
    if (pos > 0) std::memcpy(block, m_pcLine, static_cast<std::size_t>(pos));
    if (count > 0) std::memcpy(block + pos, bytes, static_cast<std::size_t>(count));
    if (Owned()) FreeBlock(m_pcLine);
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
            std::memmove(m_pcLine + pos + count, m_pcLine + pos, static_cast<std::size_t>(tail));
            std::memcpy(m_pcLine + pos, copy, static_cast<std::size_t>(count));
            std::free(copy);
        } else {
            std::memmove(m_pcLine + pos + count, m_pcLine + pos, static_cast<std::size_t>(tail));
            std::memcpy(m_pcLine + pos, bytes, static_cast<std::size_t>(count));
        }
        SetLength(newLength);
        return;
    }
    char* block = AllocBlock(newCapacity);
    if (pos > 0) std::memcpy(block, m_pcLine, static_cast<std::size_t>(pos));
    if (count > 0) std::memcpy(block + pos, bytes, static_cast<std::size_t>(count));
    if (tail > 0) std::memcpy(block + withBytes, m_pcLine + pos, static_cast<std::size_t>(tail));
    if (Owned()) FreeBlock(m_pcLine);
    SetOwned(block, newLength);
}

void TextLine::Erase(int from, int to)
{
    if (to <= from) return;
    const int length = Length();
    if (!Owned()) {
        // First change of a shared line: take a copy with the capacity it was created with.
        char* block = AllocBlock(CapacityFor(length));
        std::memcpy(block, m_pcLine, static_cast<std::size_t>(length));
        SetOwned(block, length);
    }
    std::memmove(m_pcLine + from, m_pcLine + to, static_cast<std::size_t>(length - to));
    SetLength(length - (to - from));
}

} // namespace brindle
