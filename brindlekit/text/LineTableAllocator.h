#pragma once

#include "platform/Export.h"

#include <cstddef>

namespace brindle {

// Storage for the table of lines: large tables (millions of lines) are mapped with
// huge pages where the system offers them, which makes filling them much cheaper.
BRINDLEKIT_API void* AllocateLineTable(std::size_t bytes);
BRINDLEKIT_API void FreeLineTable(void* p, std::size_t bytes) noexcept;

template <class T>
struct LineTableAllocator {
    using value_type = T;

    LineTableAllocator() = default;
    template <class U>
    LineTableAllocator(const LineTableAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n) { return static_cast<T*>(AllocateLineTable(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { FreeLineTable(p, n * sizeof(T)); }

    template <class U>
    friend bool operator==(const LineTableAllocator&, const LineTableAllocator<U>&) noexcept
    {
        return true;
    }
};

} // namespace brindle
