#include "brindlekit/text/LineArena.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace brindle {

char* LineArena::NewBlock(std::size_t size)
{
    m_blocks.push_back(std::unique_ptr<char[]>(new char[size == 0 ? 1 : size]));
    return m_blocks.back().get();
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
