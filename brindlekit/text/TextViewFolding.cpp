// Folding in the text view: markers, fold commands and the rows of visible lines.

#include "brindlekit/text/TextViewModel.h"

#include "brindlekit/text/LineFlags.h"

#include <algorithm>

namespace brindle {

namespace {

// The lines a fold must leave in sight: the error mark and bookmarks.
constexpr std::uint32_t kKeptInSight = LINEF_BOOKMARK;

} // namespace

void TextViewModel::SetFolding(bool folding)
{
    if (folding == m_bFolding) return;
    m_bFolding = folding;
    if (!folding && !m_folds.Empty()) {
        m_folds.Clear();
        FoldsChanged();
    }
    UpdateGutter();
}

int TextViewModel::FoldEndAt(int line)
{
    if (!m_bFolding || line < 0 || line >= GetLineCount()) return -1;
    int end = m_folds.KnownEnd(line);
    if (end == -2) {
        end = m_pHost->FoldEnd(line);
        if (end <= line || end >= GetLineCount()) end = -1;
        m_folds.RememberEnd(line, end);
    }
    return end;
}

TextViewModel::FoldMarker TextViewModel::GetFoldMarker(int line, bool search)
{
    if (!m_bFolding) return FoldMarker::None;
    if (m_folds.IsFolded(line)) return FoldMarker::Folded;
    if (!search && line >= 0 && line < GetLineCount() && m_folds.KnownEnd(line) == -2) {
        m_pendingFolds.push_back(line);
        return FoldMarker::None;
    }
    return FoldEndAt(line) > line ? FoldMarker::Open : FoldMarker::None;
}

bool TextViewModel::ResolvePendingFolds()
{
    std::vector<int> lines;
    lines.swap(m_pendingFolds);
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    bool found = false;
    for (int line : lines)
        if (m_folds.KnownEnd(line) == -2 && FoldEndAt(line) > line) found = true;
    return found;
}

void TextViewModel::ToggleFold(int line)
{
    if (!m_bFolding) return;
    if (!m_folds.Unfold(line)) {
        const int end = FoldEndAt(line);
        if (end <= line) return;
        for (int hidden = line + 1; hidden <= end; ++hidden)
            if (GetLineFlags(hidden) & kKeptInSight) return;
        m_folds.Fold(line, end);
    }
    FoldsChanged();
}

void TextViewModel::FoldAll()
{
    if (!m_bFolding) return;
    const int count = GetLineCount();
    std::vector<FoldRange> ranges = m_pHost->FoldRanges();
    std::vector<int> marked; // ascending
    for (int line = 0; line < count; ++line)
        if (GetLineFlags(line) & kKeptInSight) marked.push_back(line);
    std::erase_if(ranges, [&](const FoldRange& r) {
        if (r.first < 0 || r.last >= count || r.last <= r.first) return true;
        const auto next = std::upper_bound(marked.begin(), marked.end(), r.first);
        return next != marked.end() && *next <= r.last;
    });
    // Of the ranges opening on one line the outermost is that line's: its marker's.
    std::sort(ranges.begin(), ranges.end(),
              [](const FoldRange& a, const FoldRange& b) { return a.first < b.first || (a.first == b.first && a.last > b.last); });
    ranges.erase(std::unique(ranges.begin(), ranges.end(),
                             [](const FoldRange& a, const FoldRange& b) { return a.first == b.first; }),
                 ranges.end());
    for (const FoldRange& r : ranges) m_folds.RememberEnd(r.first, r.last);
    m_folds.FoldAll(std::move(ranges));
    FoldsChanged();
}

void TextViewModel::UnfoldAll()
{
    if (m_folds.Empty()) return;
    m_folds.Clear();
    FoldsChanged();
}

void TextViewModel::FoldsChanged()
{
    // The caret and the selection's ends go to the lines that stand for hidden ones.
    auto shown = [this](CPoint& p) {
        if (!m_folds.IsHidden(p.y)) return false;
        p = CPoint(GetLineLength(m_folds.Shown(p.y)), m_folds.Shown(p.y));
        return true;
    };
    if (shown(m_ptCursorPos)) {
        m_ptAnchor = m_ptSelStart = m_ptSelEnd = m_ptCursorPos;
        m_nIdealCharPos = CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x);
    }
    m_nTopLine = m_folds.Shown(m_nTopLine);
    m_pHost->InvalidateAll();
    RecalcVertScrollBar();
    UpdateCaret();
}

int TextViewModel::StepLine(int line, int rows) const
{
    if (m_folds.Empty()) return std::clamp(line + rows, 0, GetLineCount() - 1);
    return m_folds.Advance(line, rows, GetLineCount());
}

int TextViewModel::LineAtRow(int row) const
{
    const int visible = m_folds.ToVisible(m_nTopLine) + row;
    if (row < 0 || visible >= GetVisibleLineCount()) return -1;
    return m_folds.ToLine(visible);
}

int TextViewModel::RowOfLine(int line) const
{
    if (m_folds.Empty()) return line - m_nTopLine;
    return m_folds.ToVisible(line) - m_folds.ToVisible(m_nTopLine);
}

} // namespace brindle
