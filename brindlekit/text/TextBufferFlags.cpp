#include "brindlekit/text/TextBuffer.h"

namespace brindle {

namespace {

bool IsSingleBit(std::uint32_t flag) { return flag != 0 && (flag & (flag - 1)) == 0; }

} // namespace

void CTextBuffer::SetLineFlag(int line, std::uint32_t flag, bool set, bool removeFromPreviousLine)
{
    if (!IsSingleBit(flag)) return;
    if (line == -1) {
        line = FindLineWithFlag(flag);
        if (line == -1) return;
        removeFromPreviousLine = false;
    }
    const std::uint32_t oldFlags = GetLineFlags(line);
    const std::uint32_t newFlags = set ? (oldFlags | flag) : (oldFlags & ~flag);
    if (newFlags == oldFlags) return;

    if (removeFromPreviousLine && set) {
        const int previous = FindLineWithFlag(flag);
        if (previous != -1) {
            TextLine& prev = Line(previous);
            prev.SetFlags(prev.Flags() & ~flag);
            UpdateViews(nullptr, nullptr, UPD_LINE_FLAGS, previous);
        }
    }
    Line(line).SetFlags(newFlags);
    UpdateViews(nullptr, nullptr, UPD_LINE_FLAGS, line);
}

int CTextBuffer::FindLineWithFlag(std::uint32_t flags) const
{
    const int count = GetLineCount();
    for (int i = 0; i < count; ++i)
        if (m_aLines[static_cast<std::size_t>(i)].Flags() & flags) return i;
    return -1;
}

int CTextBuffer::GetLineWithFlag(std::uint32_t flag) const
{
    return IsSingleBit(flag) ? FindLineWithFlag(flag) : -1;
}

int CTextBuffer::FindNextBookmarkLine(int current) const
{
    const int start = (GetLineFlags(current) & LINEF_BOOKMARK) ? current + 1 : current;
    const int count = GetLineCount();
    for (int i = start; i < count; ++i)
        if (m_aLines[static_cast<std::size_t>(i)].Flags() & LINEF_BOOKMARK) return i;
    for (int i = 0; i < count; ++i)
        if (m_aLines[static_cast<std::size_t>(i)].Flags() & LINEF_BOOKMARK) return i;
    return -1;
}

int CTextBuffer::FindPrevBookmarkLine(int current) const
{
    const int start = (GetLineFlags(current) & LINEF_BOOKMARK) ? current - 1 : current;
    for (int i = start; i >= 0; --i)
        if (m_aLines[static_cast<std::size_t>(i)].Flags() & LINEF_BOOKMARK) return i;
    for (int i = GetLineCount() - 1; i >= 0; --i)
        if (m_aLines[static_cast<std::size_t>(i)].Flags() & LINEF_BOOKMARK) return i;
    return -1;
}

} // namespace brindle
