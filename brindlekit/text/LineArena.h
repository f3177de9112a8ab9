#pragma once

#include <cstddef>
#include <vector>

namespace brindle {

// Blocks of bytes that lines share without owning: the text read from a file and
// the lines created by multi-line insertions. Everything is freed together when the
// buffer's text is replaced or freed; lines that change copy themselves out first.
class LineArena {
public:
    LineArena() = default;
    ~LineArena();
    LineArena(const LineArena&) = delete;
    LineArena& operator=(const LineArena&) = delete;

    // A new block of the given size, uninitialised. Large blocks are mapped with
    // huge pages where the system offers them: filling 100 MB page by page costs
    // more than reading it.
    char* NewBlock(std::size_t size);
    // Copies bytes into the current block (starting a new one when full).
    const char* Copy(const char* bytes, std::size_t count);
    void Clear();
    void Swap(LineArena& other) noexcept;

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;

    struct Block {
        char* data;
        std::size_t size;
        bool mapped;
    };
    static void Free(const Block& block);

    std::vector<Block> m_blocks;
    char* m_pNext = nullptr;
    std::size_t m_nLeft = 0;
};

} // namespace brindle
