#include "brindlekit/text/TextBufferFiller.h"

#include "brindlekit/text/LineArena.h"

#include <cstring>
#include <stdexcept>

namespace brindle {

CTextBufferFiller::CTextBufferFiller(CTextBuffer& buffer) : m_buffer(buffer), m_arena(std::make_unique<LineArena>())
{
    if (buffer.GetLineCount() != 1 || buffer.GetLineLength(0) != 0 || buffer.GetUndoRecordCount() != 0)
        throw CTextIndexError("the buffer to fill must be fresh from InitNew");
}

CTextBufferFiller::~CTextBufferFiller() = default;

void CTextBufferFiller::Append(std::string_view text)
{
    if (text.empty()) return;
    if (m_afterCr) {
        m_afterCr = false;
        if (text.front() == '\n') text.remove_prefix(1);
    }
    for (;;) {
        const void* hit = std::memchr(text.data(), '\r', text.size());
        if (!hit) break;
        const std::size_t cr = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        EndLine(text.substr(0, cr));
        std::size_t next = cr + 1;
        if (next == text.size()) m_afterCr = true; // an LF may begin the next piece
        else if (text[next] == '\n') ++next;
        text.remove_prefix(next);
    }
    if (m_pending.size() + text.size() > static_cast<std::size_t>(TextLine::kMaxLength))
        throw std::length_error("text line too long");
    m_pending.append(text);
}

void CTextBufferFiller::EndLine(std::string_view tail)
{
    if (m_lines.size() >= static_cast<std::size_t>(0x7FFFFFFF)) throw std::length_error("too many lines");
    std::string_view line = tail;
    if (!m_pending.empty()) {
        if (m_pending.size() + tail.size() > static_cast<std::size_t>(TextLine::kMaxLength))
            throw std::length_error("text line too long");
        m_pending.append(tail);
        line = m_pending;
    }
    m_lines.push_back(TextLine::Shared(m_arena->Copy(line.data(), line.size()), static_cast<int>(line.size())));
    m_pending.clear();
    // A long line's accumulator is not kept for the short ones after it.
    if (m_pending.capacity() > 4096) std::string().swap(m_pending);
}

bool CTextBufferFiller::Finish(ITextBufferView* source, int& endLine, int& endChar)
{
    if (m_buffer.m_bReadOnly) return false;
    EndLine({});
    endLine = static_cast<int>(m_lines.size()) - 1;
    endChar = m_lines.back().Length();
    m_buffer.m_aLines.swap(m_lines);
    m_buffer.m_pArena->Swap(*m_arena);
    // The lines swapped out: the buffer's one empty line, which may still hold a block.
    if (m_buffer.m_bLinesOwnStorage)
        for (TextLine& line : m_lines) line.Release();
    m_buffer.m_bLinesOwnStorage = false; // the new lines share the arena
    m_lines.clear();
    m_arena->Clear();
    const CPoint start(0, 0), end(endChar, endLine);
    m_buffer.NotifyInserted(source, start, end, endLine > 0 ? UPD_LINES_TEXT : UPD_LINE_TEXT);
    m_buffer.RecordInsertion(source, start, end, std::string_view(), EA_UNKNOWN);
    return true;
}

} // namespace brindle
