#include "brindlekit/text/LineArena.h"

#include <algorithm>
#include <cstring>
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
    if (size >= kMapThreshold) {
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        ::madvise(p, size, MADV_HUGEPAGE);
#endif
        m_blocks.push_back({static_cast<char*>(p), size, true});
    } else {
        m_blocks.push_back({new char[size], size, false});
    }
    return m_blocks.back().data;
}

void LineArena::Free(const Block& block)
{
    if (block.mapped)
        ::munmap(block.data, block.size);
    else
        delete[] block.data;
}

const char* LineArena::Copy(const char* bytes, std::size_t count)
{
    if (count == 0) return nullptr;
    if (count > m_nLeft) {
        const std::size_t size = std::max(count, kBlockSize);
        m_pNext = NewBlock(size);
        m_nLeft = size;
    }
    char* out = m_pNext;
    std::memcpy(out, bytes, count);
    m_pNext += count;
    m_nLeft -= count;
    return out;
}

void LineArena::Clear()
{
    for (const Block& block : m_blocks) Free(block);
    m_blocks.clear();
    m_pNext = nullptr;
    m_nLeft = 0;
}

void LineArena::Swap(LineArena& other) noexcept
{
    m_blocks.swap(other.m_blocks);
    std::swap(m_pNext, other.m_pNext);
    std::swap(m_nLeft, other.m_nLeft);
}

} // namespace brindle
