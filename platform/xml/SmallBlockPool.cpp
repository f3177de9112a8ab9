// Slabs of 1 MiB, each cut into blocks of one size (a multiple of 8 up to
// kLargestPooled), carved from one reserved address range so that telling a pool
// block from a C library one is a range check. A slab's header sits at its start;
// a block's slab is its address rounded down to the slab size. Free blocks of a
// slab form a list threaded through the blocks themselves and are handed out
// before the slab's untouched tail, whose pages so become resident only when
// needed. Blocks are 8-byte aligned, which is all libxml2's structures need.

#include "platform/xml/SmallBlockPool.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace brindle::detail {

namespace {

constexpr std::size_t kSlabSize = std::size_t{1} << 20;
// Address space only: pages are made usable a slab at a time.
constexpr std::size_t kReservedSize = std::size_t{64} << 30;
constexpr std::size_t kSlabCount = kReservedSize / kSlabSize;
constexpr std::size_t kClassCount = kLargestPooled / 8 + 1; // index 0 unused
constexpr std::size_t kHeaderSize = 64;

struct Slab {
    Slab* prev;
    Slab* next;
    void* freeList;
    std::uint32_t blockSize;
    std::uint32_t capacity;
    std::uint32_t used;
    std::uint32_t carved; // blocks handed out from the untouched tail so far
};
static_assert(sizeof(Slab) <= kHeaderSize);

// Read on every block: initial-exec spares the lookup a library's thread-local costs.
__attribute__((tls_model("initial-exec"))) thread_local bool t_holding = false; // this thread holds the pool

std::atomic<std::uintptr_t> g_begin{0};
std::atomic<std::uintptr_t> g_end{0};

struct Pool {
    std::mutex lock;
    Slab* partial[kClassCount] = {}; // slabs of each size with a free block
    std::vector<Slab*> empty;        // all blocks freed, pages still resident
    std::vector<Slab*> released;     // pages given back to the system
    std::size_t carvedSlabs = 0;
    std::size_t blocks = 0;

    Pool()
    {
        void* range = ::mmap(nullptr, kReservedSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (range == MAP_FAILED) return; // every block then comes from the C library
        // Slabs are aligned to their size; the reservation is trimmed to that.
        const auto start = reinterpret_cast<std::uintptr_t>(range);
        const std::uintptr_t aligned = (start + kSlabSize - 1) & ~(kSlabSize - 1);
        empty.reserve(kSlabCount);
        released.reserve(kSlabCount);
        g_begin = aligned;
        g_end = (start + kReservedSize) & ~(kSlabSize - 1);
    }

    static std::size_t ClassOf(std::size_t size) { return size == 0 ? 1 : (size + 7) / 8; }

    void Link(Slab* s)
    {
        Slab*& head = partial[s->blockSize / 8];
        s->prev = nullptr;
        s->next = head;
        if (head) head->prev = s;
        head = s;
    }

    void Unlink(Slab* s)
    {
        if (s->prev) s->prev->next = s->next;
        else partial[s->blockSize / 8] = s->next;
        if (s->next) s->next->prev = s->prev;
        s->prev = s->next = nullptr;
    }

    // A slab for blocks of the class: an emptied one, else one given back, else a new one.
    Slab* TakeSlab(std::size_t cls)
    {
        Slab* s = nullptr;
        if (!empty.empty()) {
            s = empty.back();
            empty.pop_back();
        } else if (!released.empty()) {
            s = released.back();
            released.pop_back();
        } else {
            const std::uintptr_t begin = g_begin.load(std::memory_order_relaxed);
            const std::uintptr_t at = begin + carvedSlabs * kSlabSize;
            if (!begin || at + kSlabSize > g_end.load(std::memory_order_relaxed)) return nullptr;
            if (::mprotect(reinterpret_cast<void*>(at), kSlabSize, PROT_READ | PROT_WRITE) != 0) return nullptr;
            ++carvedSlabs;
            s = reinterpret_cast<Slab*>(at);
        }
        s->freeList = nullptr;
        s->blockSize = static_cast<std::uint32_t>(cls * 8);
        s->capacity = static_cast<std::uint32_t>((kSlabSize - kHeaderSize) / s->blockSize);
        s->used = 0;
        s->carved = 0;
        Link(s);
        return s;
    }

    void* Alloc(std::size_t size)
    {
        const std::size_t cls = ClassOf(size);
        std::unique_lock<std::mutex> hold(lock, std::defer_lock);
        if (!t_holding) hold.lock();
        Slab* s = partial[cls];
        if (!s && !(s = TakeSlab(cls))) return nullptr;
        void* p = s->freeList;
        if (p) std::memcpy(&s->freeList, p, sizeof(void*));
        else p = reinterpret_cast<char*>(s) + kHeaderSize + std::size_t{s->carved++} * s->blockSize;
        if (++s->used == s->capacity) Unlink(s);
        ++blocks;
        return p;
    }

    void Free(Slab* s, void* p)
    {
        std::unique_lock<std::mutex> hold(lock, std::defer_lock);
        if (!t_holding) hold.lock();
        std::memcpy(p, &s->freeList, sizeof(void*));
        s->freeList = p;
        if (s->used == s->capacity) Link(s);
        --blocks;
        if (--s->used == 0) {
            Unlink(s);
            empty.push_back(s);
        }
    }
};

Pool& ThePool()
{
    static Pool* pool = new Pool; // never destroyed: blocks may be freed during exit
    return *pool;
}

Slab* SlabOf(const void* p)
{
    return reinterpret_cast<Slab*>(reinterpret_cast<std::uintptr_t>(p) & ~(kSlabSize - 1));
}

} // namespace

bool InPool(const void* p)
{
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    return at >= g_begin.load(std::memory_order_acquire) && at < g_end.load(std::memory_order_acquire);
}

void* PoolAlloc(std::size_t size)
{
    if (size <= kLargestPooled)
        if (void* p = ThePool().Alloc(size)) return p;
    return std::malloc(size);
}

void PoolFree(void* p)
{
    if (InPool(p)) ThePool().Free(SlabOf(p), p);
    else std::free(p);
}

void* PoolRealloc(void* p, std::size_t size)
{
    if (!p) return PoolAlloc(size);
    if (!InPool(p)) return std::realloc(p, size);
    // The slab's block size does not change while one of its blocks is in use.
    const std::size_t have = SlabOf(p)->blockSize;
    if (size <= have) return p;
    void* moved = PoolAlloc(size);
    if (!moved) return nullptr; // p stays valid, as realloc leaves it
    std::memcpy(moved, p, have);
    PoolFree(p);
    return moved;
}

char* PoolStrdup(const char* text)
{
    const std::size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(PoolAlloc(size));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

PoolHold::PoolHold()
{
    ThePool().lock.lock();
    t_holding = true;
}

PoolHold::~PoolHold()
{
    t_holding = false;
    ThePool().lock.unlock();
}

std::size_t ReleaseEmptySlabs()
{
    Pool& pool = ThePool();
    std::vector<Slab*> slabs;
    {
        std::lock_guard<std::mutex> hold(pool.lock);
        slabs.assign(pool.empty.begin(), pool.empty.end());
        pool.empty.clear();
    }
    // Outside the lock: other threads keep allocating meanwhile.
    for (Slab* s : slabs) ::madvise(s, kSlabSize, MADV_DONTNEED);
    std::lock_guard<std::mutex> hold(pool.lock);
    pool.released.insert(pool.released.end(), slabs.begin(), slabs.end());
    return slabs.size() * kSlabSize;
}

PoolUsage GetPoolUsage()
{
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> hold(pool.lock);
    PoolUsage usage;
    usage.slabsEmpty = pool.empty.size();
    usage.slabsInUse = pool.carvedSlabs - pool.empty.size() - pool.released.size();
    usage.blocksInUse = pool.blocks;
    return usage;
}

} // namespace brindle::detail
