#pragma once

#include "brindlekit/text/LineTableAllocator.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextLine.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brindle {

class LineArena;

// Reads a file descriptor to its end and splits it into lines.
//
// A line ends where the mode's line break matches as a byte-by-byte automaton that,
// on a mismatch, restarts without testing the mismatching byte again: so in mode 0
// the LF of "\r\r\n" does not end a line, and in general a two-byte break ends a line
// only after an odd run of its first byte. Unmatched CR and LF bytes stay in the
// line. Whatever follows the last break is the last line, even when empty.
//
// The bytes are read in blocks straight into the arena and the lines point into
// it, so loading copies each byte once.
class LineReader {
public:
    using Lines = std::vector<TextLine, LineTableAllocator<TextLine>>;

    // mode -1: detected from the first bytes (see DetectEolMode).
    // progress (may be null) is told after every block; its false ends the read.
    LineReader(int fd, std::size_t sizeHint, int mode, const FileProgress* progress = nullptr)
        : m_fd(fd), m_sizeHint(sizeHint), m_mode(mode), m_progress(progress)
    {
    }

    // Appends the lines to `lines` (which own nothing) with their bytes in `arena`,
    // which counts them per block.
    // Returns false on a read error or when progress stopped it; std::bad_alloc
    // and std::length_error propagate.
    bool Read(LineArena& arena, Lines& lines);

    int Mode() const { return m_mode; }

private:
    void Scan(Lines& lines);
    template <int Mode>
    void ScanMode(Lines& lines);
    template <int Mode>
    std::size_t ScanWide(Lines& lines, std::size_t at);
    template <int Mode>
    void LineBreakAt(Lines& lines, std::size_t at);
    void Emit(Lines& lines, std::size_t end);

    int m_fd;
    std::size_t m_sizeHint;
    int m_mode;
    const FileProgress* m_progress;
    std::uint64_t m_read = 0; // bytes read so far

    char* m_block = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_filled = 0;    // bytes read into the block
    std::size_t m_lineStart = 0; // start of the current line in the block
    std::size_t m_scanned = 0;   // bytes already searched for line breaks
    std::size_t m_blockLines = 0; // lines pointing into the block
};

} // namespace brindle
