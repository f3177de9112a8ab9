#include "brindlekit/text/LineArena.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace brindle {

namespace {

constexpr std::size_t kMapThreshold = 4u << 20;

} // namespace

LineArena::~LineArena() { Clear(); }

char* LineArena::NewBlock(std::size_t size)
{
    if (size == 0) size = 1;
    m_blocks.reserve(m_blocks.size() + 1);
    Block block{nullptr, size, 0, size >= kMapThreshold};
    if (block.mapped) {
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        ::madvise(p, size, MADV_HUGEPAGE);
#endif
        block.data = static_cast<char*>(p);
    } else {
        block.data = new char[size];
    }
    const auto at = std::upper_bound(m_blocks.begin(), m_blocks.end(), block.data,
                                     [](const char* p, const Block& b) { return std::less<const char*>()(p, b.data); });
    const std::size_t index = static_cast<std::size_t>(at - m_blocks.begin());
    m_blocks.insert(at, block);
    if (m_current != kNone && index <= m_current) ++m_current;
    return block.data;
}

void LineArena::Free(const Block& block)
{
    if (block.mapped)
        ::munmap(block.data, block.size);
    else
        delete[] block.data;
}

std::size_t LineArena::Find(const char* p) const
{
    const auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), p,
                                        [](const char* q, const Block& b) { return std::less<const char*>()(q, b.data); });
    if (after == m_blocks.begin()) return kNone;
    const Block& block = *(after - 1);
    if (!std::less<const char*>()(p, block.data + block.size)) return kNone;
    return static_cast<std::size_t>(after - 1 - m_blocks.begin());
}

void LineArena::Release(std::size_t index)
{
    Block& block = m_blocks[index];
    if (index == m_current) {
        m_pNext = block.data;
        m_nLeft = block.size;
        return;
    }
    Free(block);
    m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(index));
    if (m_current != kNone && index < m_current) --m_current;
}

void LineArena::AddLines(const char* block, std::size_t count)
{
    const std::size_t index = Find(block);
    if (index == kNone) return;
    m_blocks[index].lines += count;
    if (m_blocks[index].lines == 0) Release(index);
}

const char* LineArena::Copy(const char* bytes, std::size_t count)
{
    if (count == 0) return nullptr;
    if (count > m_nLeft) {
        // The block being filled is left behind; if no line uses it any more it goes.
        if (m_current != kNone) {
            const std::size_t old = m_current;
            m_current = kNone;
            if (m_blocks[old].lines == 0) Release(old);
        }
        m_pNext = nullptr;
        m_nLeft = 0;
        const std::size_t size = std::max(count, kBlockSize);
        m_pNext = NewBlock(size);
        m_current = Find(m_pNext);
        m_nLeft = size;
    }
    char* out = m_pNext;
    std::memcpy(out, bytes, count);
    m_pNext += count;
    m_nLeft -= count;
    ++m_blocks[m_current].lines;
    return out;
}

void LineArena::Drop(const char* bytes)
{
    const std::size_t index = Find(bytes);
    if (index == kNone || m_blocks[index].lines == 0) return;
    if (--m_blocks[index].lines == 0) Release(index);
}

void LineArena::Clear()
{
    for (const Block& block : m_blocks) Free(block);
    m_blocks.clear();
    m_current = kNone;
    m_pNext = nullptr;
    m_nLeft = 0;
}

void LineArena::Swap(LineArena& other) noexcept
{
    m_blocks.swap(other.m_blocks);
    std::swap(m_current, other.m_current);
    std::swap(m_pNext, other.m_pNext);
    std::swap(m_nLeft, other.m_nLeft);
}

std::size_t LineArena::HeldBytes() const
{
    std::size_t bytes = 0;
    for (const Block& block : m_blocks) bytes += block.size;
    return bytes;
}

} // namespace brindle
