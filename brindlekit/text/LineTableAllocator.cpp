#include "brindlekit/text/LineTableAllocator.h"

#include <new>
#include <sys/mman.h>

namespace brindle {

namespace {

constexpr std::size_t kMapThreshold = 4u << 20;

} // namespace

void* AllocateLineTable(std::size_t bytes)
{
    if (bytes < kMapThreshold) return ::operator new(bytes);
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

void FreeLineTable(void* p, std::size_t bytes) noexcept
{
    if (!p) return;
    if (bytes < kMapThreshold)
        ::operator delete(p);
    else
        ::munmap(p, bytes);
}

} // namespace brindle
