#include "brindlekit/text/LineReader.h"

#include "brindlekit/text/EolMode.h"
#include "brindlekit/text/LineArena.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <unistd.h>

#include <sys/mman.h>
#include <thread>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace brindle {

namespace {

constexpr std::size_t kReadBlock = 256 << 10; // scanned while still in cache
constexpr std::size_t kMinBlock = 1 << 16;

} // namespace

inline __attribute__((always_inline)) void LineReader::Emit(Lines& lines, std::size_t end)
{
    const std::size_t length = end - m_lineStart;
    if (length > static_cast<std::size_t>(TextLine::kMaxLength)) throw std::length_error("text line too long");
    lines.push_back(TextLine::Shared(m_block + m_lineStart, static_cast<int>(length)));
    m_blockLines += length != 0; // an empty line points nowhere
}

// The last byte of the mode's break was found at `at`.
template <int Mode>
inline __attribute__((always_inline)) void LineReader::LineBreakAt(Lines& lines, std::size_t at)
{
    if constexpr (Mode == 2) {
        Emit(lines, at);
        m_lineStart = at + 1;
    } else {
        // A two-byte break: the run of its first byte just before decides (odd: a line ends).
        constexpr char first = Mode == 1 ? '\n' : '\r';
        if (at == m_lineStart || m_block[at - 1] != first) return;
        std::size_t run = 1;
        while (at - run > m_lineStart && m_block[at - run - 1] == first) ++run;
        if (run % 2 == 1) {
            Emit(lines, at - 1);
            m_lineStart = at + 1;
        }
    }
}

#if defined(__x86_64__)
// 32 bytes at a time, on processors with AVX2.
template <int Mode>
__attribute__((target("avx2"))) std::size_t LineReader::ScanWide(Lines& lines, std::size_t at)
{
    const __m256i wanted = _mm256_set1_epi8(Mode == 1 ? '\r' : '\n');
    for (; at + 32 <= m_filled; at += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m_block + at));
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, wanted)));
        while (mask) {
            LineBreakAt<Mode>(lines, at + static_cast<std::size_t>(__builtin_ctz(mask)));
            mask &= mask - 1;
        }
    }
    return at;
}
#endif

template <int Mode>
void LineReader::ScanMode(Lines& lines)
{
    // Search for the break's last byte.
    constexpr char last = Mode == 1 ? '\r' : '\n';
    std::size_t at = m_scanned;
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        at = ScanWide<Mode>(lines, at);
    } else {
        const __m128i wanted = _mm_set1_epi8(last);
        for (; at + 16 <= m_filled; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_block + at));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
            while (mask) {
                LineBreakAt<Mode>(lines, at + static_cast<std::size_t>(__builtin_ctz(mask)));
                mask &= mask - 1;
            }
        }
    }
#endif
    while (at < m_filled) {
        const void* hit = std::memchr(m_block + at, last, m_filled - at);
        if (!hit) break;
        at = static_cast<std::size_t>(static_cast<const char*>(hit) - m_block);
        LineBreakAt<Mode>(lines, at);
        ++at;
    }
    m_scanned = m_filled;
}

void LineReader::Scan(Lines& lines)
{
    switch (m_mode) {
    case 0: ScanMode<0>(lines); break;
    case 1: ScanMode<1>(lines); break;
    default: ScanMode<2>(lines); break;
    }
}

namespace {

// Faults in the read block ahead of the reader, on another core: the kernel's
// zeroing of fresh pages then overlaps the reading instead of adding to it. The
// block stays allocated until the reader is done, which joins the thread first.
class Prefaulter {
public:
    Prefaulter(char* block, std::size_t size) : m_thread([=] { Populate(block, size); }) {}
    ~Prefaulter() { m_thread.join(); }

private:
    static void Populate(char* p, std::size_t size)
    {
#ifdef MADV_POPULATE_WRITE
        const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(p) / page * page;
        const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(p) + size;
        constexpr std::size_t kStep = 4u << 20;
        for (std::uintptr_t at = start; at < end; at += kStep)
            if (::madvise(reinterpret_cast<void*>(at), std::min<std::uintptr_t>(kStep, end - at), MADV_POPULATE_WRITE) != 0)
                return; // not supported: the pages fault in as they are written
#else
        (void)p;
        (void)size;
#endif
    }

    std::thread m_thread;
};

constexpr std::size_t kPrefaultThreshold = 32u << 20;

} // namespace

bool LineReader::Read(LineArena& arena, Lines& lines)
{
    m_capacity = std::max(m_sizeHint + 1, kMinBlock);
    m_block = arena.NewBlock(m_capacity);
    bool reserved = false;
    bool atEnd = false;
    std::optional<Prefaulter> prefaulter;
    while (!atEnd) {
        if (m_filled == m_capacity) {
            // The block is full: carry the unfinished line over to a new one.
            const std::size_t partial = m_filled - m_lineStart;
            const std::size_t capacity = std::max(kReadBlock * 4, partial * 2 + kReadBlock);
            char* block = arena.NewBlock(capacity);
            std::memcpy(block, m_block + m_lineStart, partial);
            prefaulter.reset(); // done with the old block, which may go now
            arena.AddLines(m_block, m_blockLines);
            m_blockLines = 0;
            m_scanned -= m_lineStart;
            m_lineStart = 0;
            m_filled = partial;
            m_block = block;
            m_capacity = capacity;
        }
        const ssize_t got = ::read(m_fd, m_block + m_filled, std::min(kReadBlock, m_capacity - m_filled));
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) atEnd = true;
        m_filled += static_cast<std::size_t>(got);
        m_read += static_cast<std::uint64_t>(got);
        if (m_progress && *m_progress && !(*m_progress)(m_read, std::max<std::uint64_t>(m_sizeHint, m_read)))
            return false;

        if (m_mode == -1) {
            // The first m_filled bytes are the start of the file: decide once the
            // detection block is complete or the file has ended.
            if (m_filled < kEolDetectBytes && !atEnd) continue;
            m_mode = DetectEolMode(std::string_view(m_block, std::min(m_filled, kEolDetectBytes)));
        }
        Scan(lines);
        if (!reserved && m_sizeHint > m_filled && !lines.empty()) {
            // Guess the line count from the lines seen so far.
            const double perLine = static_cast<double>(m_filled) / static_cast<double>(lines.size());
            lines.reserve(static_cast<std::size_t>(static_cast<double>(m_sizeHint) / perLine * 1.1) + 64);
            reserved = true;
            if (m_sizeHint >= kPrefaultThreshold && m_capacity > m_filled)
                prefaulter.emplace(m_block + m_filled, m_capacity - m_filled);
        }
    }
    Emit(lines, m_filled);
    prefaulter.reset();
    arena.AddLines(m_block, m_blockLines);
    return true;
}

} // namespace brindle
