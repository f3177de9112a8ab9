#pragma once

// The allocator behind libxml2 and libxslt. A tree is millions of small blocks of a
// few fixed sizes (a node is 120 bytes, an attribute 96); the C library adds a
// header to each and rounds it up, which costs about a tenth of a large tree. Blocks
// of up to kLargestPooled bytes come instead from slabs of one size each, with no
// per-block overhead; larger ones, and any block the pool did not make, go to the C
// library. Safe from any thread.

#include "platform/Export.h"

#include <cstddef>

namespace brindle::detail {

inline constexpr std::size_t kLargestPooled = 128;

BRINDLEKIT_API void* PoolAlloc(std::size_t size);
// Accepts any pointer from PoolAlloc, PoolRealloc or PoolStrdup, or from malloc.
BRINDLEKIT_API void PoolFree(void* p);
BRINDLEKIT_API void* PoolRealloc(void* p, std::size_t size);
BRINDLEKIT_API char* PoolStrdup(const char* text);

// Whether p lies in the pool's slabs.
BRINDLEKIT_API bool InPool(const void* p);

// Holds the pool for a run of calls on this thread (freeing a whole tree): one
// lock instead of one a block, while other threads wait. Nothing but PoolAlloc,
// PoolFree, PoolRealloc and PoolStrdup may be called meanwhile.
class BRINDLEKIT_API PoolHold {
public:
    PoolHold();
    ~PoolHold();
    PoolHold(const PoolHold&) = delete;
    PoolHold& operator=(const PoolHold&) = delete;
};

// A slab whose blocks are all freed stays in memory for reuse until this gives it
// back to the system (the program calls it when idle, after a large tree is freed).
// Returns the number of bytes given back.
BRINDLEKIT_API std::size_t ReleaseEmptySlabs();

struct PoolUsage {
    std::size_t slabsInUse = 0;   // slabs holding at least one block
    std::size_t slabsEmpty = 0;   // freed slabs still in memory
    std::size_t blocksInUse = 0;
};
BRINDLEKIT_API PoolUsage GetPoolUsage();

} // namespace brindle::detail
