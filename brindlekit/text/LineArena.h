#pragma once

#include <cstddef>
#include <vector>

namespace brindle {

// Blocks of bytes that lines share without owning: the text read from a file and
// the lines created by multi-line insertions. Each block counts the lines that
// point into it; when the last of them is dropped the block is freed (the block
// being filled by Copy is reused instead), so deleted text gives its storage back.
// Everything is freed together when the buffer's text is replaced or freed.
class LineArena {
public:
    LineArena() = default;
    ~LineArena();
    LineArena(const LineArena&) = delete;
    LineArena& operator=(const LineArena&) = delete;

    // A new block of the given size, uninitialised and used by no line yet. Large
    // blocks are mapped with huge pages where the system offers them: filling
    // 100 MB page by page costs more than reading it.
    char* NewBlock(std::size_t size);
    // `count` more lines point into the block that starts at `block`; a block that
    // still has no line afterwards is freed.
    void AddLines(const char* block, std::size_t count);
    // Copies the bytes of one new line into the current block (starting a new one
    // when full). Empty bytes give nullptr and no line to count.
    const char* Copy(const char* bytes, std::size_t count);
    // A line that pointed at `bytes` (as Copy returned them, or into a block given
    // lines by AddLines) does so no longer.
    void Drop(const char* bytes);
    void Clear();
    void Swap(LineArena& other) noexcept;

    // Bytes of all blocks held.
    std::size_t HeldBytes() const;

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    struct Block {
        char* data;
        std::size_t size;
        std::size_t lines; // lines pointing into the block
        bool mapped;
    };
    static void Free(const Block& block);
    // The index of the block holding p, or kNone.
    std::size_t Find(const char* p) const;
    // Frees a block no line uses; the block Copy fills is only rewound.
    void Release(std::size_t index);

    std::vector<Block> m_blocks; // in address order
    std::size_t m_current = kNone; // the block Copy fills
    char* m_pNext = nullptr;
    std::size_t m_nLeft = 0;
};

} // namespace brindle
