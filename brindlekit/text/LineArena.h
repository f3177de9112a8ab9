#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace brindle {

// Blocks of bytes that lines share without owning: the text read from a file and
// the lines created by multi-line insertions. Everything is freed together when the
// buffer's text is replaced or freed; lines that change copy themselves out first.
class LineArena {
public:
    // A new block of the given size, uninitialised.
    char* NewBlock(std::size_t size);
    // Copies bytes into the current block (starting a new one when full).
    const char* Copy(const char* bytes, std::size_t count);
    void Clear();
    void Swap(LineArena& other) noexcept;

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;

    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_pNext = nullptr;
    std::size_t m_nLeft = 0;
};

} // namespace brindle
