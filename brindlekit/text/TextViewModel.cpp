#include "brindlekit/text/TextViewModel.h"

#include "brindlekit/text/CharWidth.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/UpdateContext.h"
#include "brindlekit/text/UpdateFlags.h"

#include <algorithm>
#include <cstdlib>

namespace brindle {

ITextViewHost TextViewModel::s_nullHost;

namespace {

bool Before(const CPoint& a, const CPoint& b)
{
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

} // namespace

TextViewModel::TextViewModel()
{
    ResetView();
}

TextViewModel::~TextViewModel()
{
    if (m_pTextBuffer) m_pTextBuffer->RemoveView(this);
}

// ---- Buffer binding ----

void TextViewModel::AttachToBuffer(CTextBuffer* buffer)
{
    if (m_pTextBuffer) m_pTextBuffer->RemoveView(this);
    m_pTextBuffer = buffer ? buffer : m_pHost->LocateTextBuffer();
    if (m_pTextBuffer) m_pTextBuffer->AddView(this);
    ResetView();
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
    m_pHost->InvalidateAll();
}

void TextViewModel::DetachFromBuffer()
{
    if (!m_pTextBuffer) return;
    m_pTextBuffer->RemoveView(this);
    m_pTextBuffer = nullptr;
    ResetView();
    m_pHost->InvalidateAll();
}

void TextViewModel::ResetView()
{
    m_nTopLine = 0;
    m_nOffsetChar = 0;
    m_nMaxLineLength = -1;
    const std::size_t count = static_cast<std::size_t>(GetLineCount());
    m_aActualLineLength.assign(count);
    m_aParseCookies.assign(count);
    ForgetParseStatesFrom(0);
    m_nTabSize = kDefaultTabSize;
    m_ptCursorPos = m_ptAnchor = m_ptSelStart = m_ptSelEnd = CPoint(0, 0);
    m_nIdealCharPos = -1;
    m_bDragSelection = m_bWordSelection = m_bLineSelection = false;
    m_bPreparingToDrag = m_bDraggingText = false;
    m_bLastSearch = false;
    m_strLastFindWhat.clear();
    m_dwLastSearchFlags = 0;
    m_bShowInactiveSelection = false;
    m_bVertScrollBarLocked = m_bHorzScrollBarLocked = false;
    m_bBookmarkExist = false;
    m_folds.Clear();
    m_folds.ForgetEnds();
    UpdateGutter();
    UpdateCaret();
}

void TextViewModel::UpdateView(ITextBufferView*, CUpdateContext* context, std::uint32_t flags, int line)
{
    if (flags & UPD_RESET) {
        ResetView();
        RecalcVertScrollBar();
        RecalcHorzScrollBar();
        m_pHost->InvalidateAll();
        return;
    }

    const int lineCount = GetLineCount();
    const int from = std::max(line, 0);
    if (flags & UPD_SINGLELINE) {
        // The state at the end of this line may differ, and so may every later one;
        // the later ones hold again once a line ends in the state it had before.
        const int known = m_nParsedLines;
        const int stale = m_nStaleParsedEnd;
        ForgetParseStatesFrom(from);
        m_nStaleParsedEnd = from < known ? known : std::min(stale, from);
        if (from < static_cast<int>(m_aActualLineLength.size())) {
            const int oldLength = ActualLengthCached(from);
            m_aActualLineLength.set(static_cast<std::size_t>(from), kUnknownLength);
            if ((flags & UPD_HORZRANGE) && m_nMaxLineLength >= 0 && from < lineCount) {
                // Only this line changed: the maximum needs a full pass only if this
                // line may have been the longest. While the line known to be the
                // longest is another, this one was not longer than it.
                const int newLength = GetLineActualLength(from);
                if (newLength >= m_nMaxLineLength) {
                    m_nMaxLineLength = newLength;
                    m_nMaxLine = from;
                } else if (from == m_nMaxLine || (m_nMaxLine < 0 && (oldLength < 0 || oldLength >= m_nMaxLineLength))) {
                    m_nMaxLineLength = -1;
                }
                flags &= ~UPD_HORZRANGE;
                RecalcHorzScrollBar();
            }
        }
    } else {
        ForgetParseStatesFrom(from);
        m_nMaxLine = -1; // it may have moved, or gone
        // Lines after the change only moved: their expanded lengths shift with them
        // instead of being measured again.
        bool shifted = false;
        if (context && static_cast<int>(m_aActualLineLength.size()) > context->m_ptStart.y) {
            const int start = context->m_ptStart.y;
            const int end = context->m_ptEnd.y;
            auto& lengths = m_aActualLineLength;
            const auto at = static_cast<std::size_t>(start);
            if (dynamic_cast<CInsertionContext*>(context) && end >= start) {
                lengths.insert(at + 1, static_cast<std::size_t>(end - start));
                lengths.set(at, kUnknownLength);
                shifted = true;
            } else if (dynamic_cast<CDeletionContext*>(context) && end >= start &&
                       end < static_cast<int>(lengths.size())) {
                lengths.erase(at + 1, at + 1 + static_cast<std::size_t>(end - start));
                lengths.set(at, kUnknownLength);
                shifted = true;
            }
            if (shifted && static_cast<int>(lengths.size()) != lineCount) shifted = false;
        }
        if (!shifted) {
            m_aActualLineLength.resize(static_cast<std::size_t>(lineCount));
            m_aActualLineLength.clearFrom(static_cast<std::size_t>(std::min(from, lineCount)));
        }
    }
    m_aParseCookies.resize(static_cast<std::size_t>(lineCount));
    ForgetParseStatesFrom(lineCount);

    const bool hadFolds = !m_folds.Empty();
    if (context) {
        const bool insertion = dynamic_cast<CInsertionContext*>(context) != nullptr;
        const int span = context->m_ptEnd.y - context->m_ptStart.y;
        // Whole lines inserted at the start of a line move what follows without touching it.
        const bool wholeLines = insertion && context->m_ptStart.x == 0 && context->m_ptEnd.x == 0 && span > 0;
        m_folds.OnEdit(context->m_ptStart.y, insertion ? context->m_ptStart.y : context->m_ptEnd.y,
                       insertion ? span : -span, wholeLines);
    } else {
        m_folds.OnEdit(from, from, 0, false);
    }

    InvalidateLineRange(from, -1);

    if (context) {
        context->RecalcPoint(m_ptCursorPos);
        context->RecalcPoint(m_ptSelStart);
        context->RecalcPoint(m_ptSelEnd);
        context->RecalcPoint(m_ptAnchor);
        if (m_bDraggingText) {
            context->RecalcPoint(m_ptDraggedTextBegin);
            context->RecalcPoint(m_ptDraggedTextEnd);
        }
        CPoint top(0, m_nTopLine);
        context->RecalcPoint(top);
        m_nTopLine = m_folds.Shown(std::clamp(top.y, 0, std::max(0, lineCount - 1)));
        UpdateCaret();
    }
    if (hadFolds) {
        // Rows below the change may now show other lines.
        m_pHost->InvalidateAll();
        flags |= UPD_VERTRANGE;
    }

    if (flags & UPD_VERTRANGE) UpdateGutter(); // the count may have gained or lost a digit
    if ((flags & UPD_VERTRANGE) && !m_bVertScrollBarLocked) RecalcVertScrollBar();
    if (flags & UPD_HORZRANGE) {
        m_nMaxLineLength = -1;
        if (!m_bHorzScrollBarLocked) RecalcHorzScrollBar();
    }
}

// ---- Buffer access ----

int TextViewModel::GetLineCount() const
{
    return m_pTextBuffer ? std::max(1, m_pTextBuffer->GetLineCount()) : 1;
}

int TextViewModel::GetLineLength(int line) const
{
    if (!m_pTextBuffer || line < 0 || line >= m_pTextBuffer->GetLineCount()) return 0;
    return m_pTextBuffer->GetLineLength(line);
}

const char* TextViewModel::GetLineChars(int line) const
{
    if (!m_pTextBuffer || line < 0 || line >= m_pTextBuffer->GetLineCount()) return "";
    return m_pTextBuffer->GetLineChars(line);
}

std::string_view TextViewModel::GetLineText(int line) const
{
    const int length = GetLineLength(line);
    return length > 0 ? std::string_view(GetLineChars(line), static_cast<std::size_t>(length)) : std::string_view();
}

std::uint32_t TextViewModel::GetLineFlags(int line) const
{
    if (!m_pTextBuffer || line < 0 || line >= m_pTextBuffer->GetLineCount()) return 0;
    return m_pTextBuffer->GetLineFlags(line);
}

void TextViewModel::GetText(const CPoint& start, const CPoint& end, std::string& text) const
{
    text.clear();
    if (m_pTextBuffer && m_pTextBuffer->GetLineCount() > 0) m_pTextBuffer->GetText(start.y, start.x, end.y, end.x, text);
}

// ---- Metrics ----

void TextViewModel::SetCharMetrics(int lineHeight, int charWidth)
{
    m_nLineHeight = std::max(1, lineHeight);
    m_nCharWidth = std::max(1, charWidth);
    // The window measures while it repaints and lays out: no notifications here.
    m_gutter = GutterLayout::Compute(m_bSelMargin, m_bLineNumbers, m_bFolding, GetLineCount(), m_nCharWidth,
                                     m_nLineHeight);
}

void TextViewModel::SetClientSize(int width, int height)
{
    m_nClientWidth = std::max(0, width);
    m_nClientHeight = std::max(0, height);
}

int TextViewModel::GetScreenLines() const
{
    return m_nClientHeight / std::max(1, m_nLineHeight);
}

int TextViewModel::GetScreenChars() const
{
    return std::max(0, (m_nClientWidth - GetMarginWidth()) / std::max(1, m_nCharWidth));
}

void TextViewModel::SetTabSize(int tabSize)
{
    if (tabSize < 1 || tabSize == m_nTabSize) return;
    m_nTabSize = tabSize;
    m_aActualLineLength.clearFrom(0);
    m_nMaxLineLength = -1;
    RecalcHorzScrollBar();
    m_pHost->InvalidateAll();
    UpdateCaret();
}

void TextViewModel::SetViewTabs(bool viewTabs)
{
    if (viewTabs == m_bViewTabs) return;
    m_bViewTabs = viewTabs;
    m_pHost->InvalidateAll();
}

void TextViewModel::SetSelectionMargin(bool selMargin)
{
    if (selMargin == m_bSelMargin) return;
    m_bSelMargin = selMargin;
    UpdateGutter();
    m_pHost->InvalidateAll();
    RecalcHorzScrollBar();
    UpdateCaret();
}

void TextViewModel::SetShowLineNumbers(bool show)
{
    if (show == m_bLineNumbers) return;
    m_bLineNumbers = show;
    UpdateGutter();
}

void TextViewModel::UpdateGutter()
{
    const GutterLayout layout = GutterLayout::Compute(m_bSelMargin, m_bLineNumbers, m_bFolding, GetLineCount(),
                                                      m_nCharWidth, m_nLineHeight);
    if (layout == m_gutter) return;
    m_gutter = layout;
    m_pHost->InvalidateAll();
    RecalcHorzScrollBar();
    UpdateCaret();
}

// ---- Geometry ----

int TextViewModel::ActualLengthCached(int line) const
{
    return static_cast<int>(m_aActualLineLength.get(static_cast<std::size_t>(line)));
}

int TextViewModel::GetLineActualLength(int line)
{
    const int count = GetLineCount();
    if (line < 0 || line >= count) return 0;
    if (static_cast<int>(m_aActualLineLength.size()) != count)
        m_aActualLineLength.resize(static_cast<std::size_t>(count));
    int length = ActualLengthCached(line);
    if (length < 0) {
        length = CalculateActualOffset(line, GetLineLength(line));
        m_aActualLineLength.set(static_cast<std::size_t>(line), static_cast<std::uint32_t>(length));
    }
    return length;
}

int TextViewModel::CalculateActualOffset(int line, int charIndex) const
{
    if (charIndex <= 0) return 0;
    return AdvanceColumns(GetLineText(line), 0, static_cast<std::size_t>(charIndex), 0, m_nTabSize);
}

int TextViewModel::ApproxActualOffset(int line, int column) const
{
    if (column <= 0) return 0;
    const std::string_view text = GetLineText(line);
    int s = 0;
    for (std::size_t i = 0; i < text.size();) {
        int length = 1;
        const bool tab = text[i] == '\t';
        const int cells = tab ? 1 : CellsAt(text, i, length);
        s = tab ? s + m_nTabSize - s % m_nTabSize : s + cells;
        if (s >= column) {
            // A tab or a one-cell character rounds by half a tab stop; a wide character
            // with the column inside it stays before it.
            const bool after = cells == 2 ? s == column : s - m_nTabSize / 2 < column;
            return after ? static_cast<int>(i) + length : static_cast<int>(i);
        }
        i += static_cast<std::size_t>(length);
    }
    return static_cast<int>(text.size());
}

int TextViewModel::GetMaxLineLength()
{
    if (m_nMaxLineLength < 0) {
        // A line takes no more cells than it has bytes, but for its tabs (a wide
        // character is at least three bytes): only a line that could be longer
        // than the longest so far is measured, so millions of lines cost a scan.
        int longest = 0;
        m_nMaxLine = -1;
        const int count = GetLineCount();
        const auto tabSize = static_cast<std::size_t>(std::max(1, m_nTabSize));
        for (int i = 0; i < count; ++i) {
            const std::string_view text = GetLineText(i);
            if (text.size() * tabSize <= static_cast<std::size_t>(longest)) continue;
            if (text.size() <= static_cast<std::size_t>(longest) && text.find('\t') == std::string_view::npos) continue;
            const int length = CalculateActualOffset(i, static_cast<int>(text.size()));
            if (length > longest || m_nMaxLine < 0) {
                longest = length;
                m_nMaxLine = i;
            }
        }
        m_nMaxLineLength = longest;
    }
    return m_nMaxLineLength;
}

CPoint TextViewModel::ClientToText(const CPoint& point) const
{
    const int lineHeight = std::max(1, m_nLineHeight);
    const int charWidth = std::max(1, m_nCharWidth);
    const int line = StepLine(m_nTopLine, point.y / lineHeight);
    const int column = std::max(0, (point.x - GetMarginWidth()) / charWidth + m_nOffsetChar);
    // The same position in half cells, for wide characters: callers add half a cell to
    // snap to the nearest boundary, which for a two-cell character lies at its middle.
    const int halfColumn = std::max(0, (point.x - GetMarginWidth()) * 2 / charWidth + 2 * m_nOffsetChar);
    const std::string_view text = GetLineText(line);
    int accumulated = 0;
    for (std::size_t i = 0; i < text.size();) {
        int length = 1;
        if (text[i] == '\t') {
            accumulated += m_nTabSize - accumulated % m_nTabSize;
            if (accumulated > column) return CPoint(static_cast<int>(i), line);
        } else if (CellsAt(text, i, length) == 2) {
            accumulated += 2;
            if (2 * accumulated - 1 > halfColumn) return CPoint(static_cast<int>(i), line);
        } else {
            ++accumulated;
            if (accumulated > column) return CPoint(SnapToCharStart(line, static_cast<int>(i)), line);
        }
        i += static_cast<std::size_t>(length);
    }
    return CPoint(static_cast<int>(text.size()), line);
}

namespace {

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

int TextViewModel::SnapToCharStart(int line, int x) const
{
    const std::string_view text = GetLineText(line);
    x = std::clamp(x, 0, static_cast<int>(text.size()));
    // At most three continuation bytes follow a lead byte.
    for (int back = 0; back < 3 && x > 0 && x < static_cast<int>(text.size()) &&
                       IsContinuationByte(text[static_cast<std::size_t>(x)]);
         ++back)
        --x;
    return x;
}

int TextViewModel::NextCharIndex(int line, int x) const
{
    const std::string_view text = GetLineText(line);
    const int length = static_cast<int>(text.size());
    if (x >= length) return length;
    ++x;
    for (int n = 0; n < 3 && x < length && IsContinuationByte(text[static_cast<std::size_t>(x)]); ++n) ++x;
    return x;
}

int TextViewModel::PrevCharIndex(int line, int x) const
{
    if (x <= 0) return 0;
    return SnapToCharStart(line, x - 1);
}

CPoint TextViewModel::TextToClient(const CPoint& point) const
{
    return CPoint((CalculateActualOffset(point.y, point.x) - m_nOffsetChar) * std::max(1, m_nCharWidth) +
                      GetMarginWidth(),
                  RowOfLine(point.y) * std::max(1, m_nLineHeight));
}

// ---- Parse states ----

std::uint32_t TextViewModel::GetParseCookie(int line)
{
    if (line < 0) return 0;
    const int count = GetLineCount();
    if (line >= count) line = count - 1;
    if (static_cast<int>(m_aParseCookies.size()) != count) {
        m_aParseCookies.resize(static_cast<std::size_t>(count));
        ForgetParseStatesFrom(count);
    }
    if (line >= m_nParsedLines && (line >= m_nParsedLines + kFarLines || IslandReaches(line))) return IslandCookie(line);
    // Known states form a prefix; walk on from its end without block arrays.
    while (m_nParsedLines <= line) {
        const int next = m_nParsedLines;
        const std::uint32_t before = next > 0 ? m_aParseCookies.get(static_cast<std::size_t>(next - 1)) : 0;
        int blockCount = 0;
        SetKnownParseCookie(next, m_pHost->ParseLine(before, next, nullptr, blockCount));
    }
    return m_aParseCookies.get(static_cast<std::size_t>(line));
}

bool TextViewModel::IslandReaches(int line) const
{
    return m_nIslandStart >= 0 && line >= m_nIslandStart &&
           line < m_nIslandStart + static_cast<int>(m_aIslandCookies.size()) + kFarLines;
}

std::uint32_t TextViewModel::IslandCookie(int line)
{
    if (!IslandReaches(line)) {
        // Far past the known states: start over a little before the line, from
        // the state a text starts in.
        m_nIslandStart = std::max(m_nParsedLines, line - kResyncLines);
        m_aIslandCookies.clear();
    }
    while (m_nIslandStart + static_cast<int>(m_aIslandCookies.size()) <= line) {
        const int next = m_nIslandStart + static_cast<int>(m_aIslandCookies.size());
        const std::uint32_t before = m_aIslandCookies.empty() ? 0 : m_aIslandCookies.back();
        int blockCount = 0;
        m_aIslandCookies.push_back(m_pHost->ParseLine(before, next, nullptr, blockCount));
    }
    return m_aIslandCookies[static_cast<std::size_t>(line - m_nIslandStart)];
}

void TextViewModel::SetKnownParseCookie(int line, std::uint32_t cookie)
{
    const auto at = static_cast<std::size_t>(line);
    const bool sameAsBefore = line < m_nStaleParsedEnd && m_aParseCookies.get(at) == cookie;
    m_aParseCookies.set(at, cookie);
    m_nParsedLines = line + 1;
    if (sameAsBefore) {
        // The lines after it are as they were, and so are their states.
        m_nParsedLines = m_nStaleParsedEnd;
        m_nStaleParsedEnd = 0;
    }
}

void TextViewModel::ForgetParseStatesFrom(int line)
{
    m_nStaleParsedEnd = std::min(m_nStaleParsedEnd, line);
    m_nParsedLines = std::min(m_nParsedLines, line);
    if (m_nIslandStart < 0 || line >= m_nIslandStart + static_cast<int>(m_aIslandCookies.size())) return;
    if (line <= m_nIslandStart) {
        m_nIslandStart = -1;
        m_aIslandCookies.clear();
    } else {
        m_aIslandCookies.resize(static_cast<std::size_t>(line - m_nIslandStart));
    }
}

void TextViewModel::StoreParseCookie(int line, std::uint32_t cookie)
{
    if (line < 0 || line >= static_cast<int>(m_aParseCookies.size())) return;
    if (line > m_nParsedLines && m_nIslandStart >= 0 && line >= m_nIslandStart) {
        const auto at = static_cast<std::size_t>(line - m_nIslandStart);
        if (at < m_aIslandCookies.size()) m_aIslandCookies[at] = cookie;
        else if (at == m_aIslandCookies.size()) m_aIslandCookies.push_back(cookie);
        return;
    }
    if (line > m_nParsedLines) return; // the states before it are unknown: keep the prefix intact
    if (line == m_nParsedLines) SetKnownParseCookie(line, cookie);
    else m_aParseCookies.set(static_cast<std::size_t>(line), cookie);
}

// ---- Cursor and selection ----

CPoint TextViewModel::LastTextPos() const
{
    const int last = GetLineCount() - 1;
    return CPoint(GetLineLength(last), last);
}

CPoint TextViewModel::NextLineStart(int line) const
{
    if (line >= GetLineCount() - 1) return CPoint(GetLineLength(line), line);
    return CPoint(0, line + 1);
}

void TextViewModel::InvalidateLineRange(int first, int last)
{
    m_pHost->InvalidateLines(first, last);
}

void TextViewModel::SetCursorPos(const CPoint& pos)
{
    m_ptCursorPos = pos;
    m_nIdealCharPos = CalculateActualOffset(pos.y, pos.x);
    UpdateCaret();
}

void TextViewModel::GetSelection(CPoint& start, CPoint& end) const
{
    if (Before(m_ptSelEnd, m_ptSelStart)) {
        start = m_ptSelEnd;
        end = m_ptSelStart;
    } else {
        start = m_ptSelStart;
        end = m_ptSelEnd;
    }
}

void TextViewModel::SetSelection(const CPoint& start, const CPoint& end)
{
    if (m_ptSelStart == start) {
        if (!(m_ptSelEnd == end))
            InvalidateLineRange(std::min(m_ptSelEnd.y, end.y), std::max(m_ptSelEnd.y, end.y));
    } else {
        InvalidateLineRange(std::min(start.y, end.y), std::max(start.y, end.y));
        InvalidateLineRange(std::min(m_ptSelStart.y, m_ptSelEnd.y), std::max(m_ptSelStart.y, m_ptSelEnd.y));
    }
    m_ptSelStart = start;
    m_ptSelEnd = end;
}

bool TextViewModel::IsInsideSelBlock(const CPoint& pos) const
{
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    if (pos.y < start.y || pos.y > end.y) return false;
    if (pos.y > start.y && pos.y < end.y) return true;
    if (start.y == end.y) return pos.x >= start.x && pos.x < end.x;
    if (pos.y == start.y) return pos.x >= start.x;
    return pos.x < end.x;
}

bool TextViewModel::IsInsideSelection(const CPoint& pos) const
{
    return IsSelection() && IsInsideSelBlock(pos);
}

void TextViewModel::SelectAll()
{
    const CPoint end = LastTextPos();
    SetCursorPos(end);
    m_ptAnchor = CPoint(0, 0);
    SetSelection(CPoint(0, 0), end);
    UpdateCaret();
}

void TextViewModel::HighlightText(const CPoint& pos, int length)
{
    const CPoint end(pos.x + length, pos.y);
    SetCursorPos(end);
    m_ptAnchor = end;
    SetSelection(pos, end);
    UpdateCaret();
    EnsureVisible(end);
}

void TextViewModel::MoveToPos(int line, int charIndex)
{
    line = std::clamp(line, 0, GetLineCount() - 1);
    charIndex = std::clamp(charIndex, 0, GetLineLength(line));
    CollapseTo(CPoint(charIndex, line));
}

void TextViewModel::CollapseTo(const CPoint& pos)
{
    SetCursorPos(pos);
    m_ptAnchor = pos;
    SetSelection(pos, pos);
    EnsureVisible(pos);
}

bool TextViewModel::IsCaretVisible() const
{
    return !m_bCursorHidden && CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x) >= m_nOffsetChar;
}

void TextViewModel::SetShowInactiveSelection(bool show)
{
    if (show == m_bShowInactiveSelection) return;
    m_bShowInactiveSelection = show;
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    InvalidateLineRange(start.y, end.y);
}

void TextViewModel::EnsureVisible(const CPoint& pos)
{
    // A fold never hides the line the caret, a match or an error is shown on.
    if (m_folds.Reveal(pos.y)) FoldsChanged();
    const int screenLines = std::max(1, GetScreenLines());
    const int line = m_folds.ToVisible(pos.y);
    int top = m_folds.ToVisible(m_nTopLine);
    if (line >= top + screenLines) top = line - screenLines + 1;
    if (line < top) top = line;
    top = m_folds.ToLine(std::max(0, top));
    if (top != m_nTopLine) ScrollToLine(top);

    const int column = CalculateActualOffset(pos.y, pos.x);
    const int screenChars = GetScreenChars();
    int offset = m_nOffsetChar;
    if (offset + screenChars < column) offset = column - screenChars;
    if (column < offset) offset = column;
    const int maxLength = GetMaxLineLength();
    if (offset >= maxLength) offset = maxLength - 1;
    if (offset < 0) offset = 0;
    if (offset != m_nOffsetChar) {
        ScrollToChar(offset);
        UpdateCaret();
    }
}

// ---- Scrolling ----

void TextViewModel::ScrollToLine(int newTop, bool noSmoothScroll)
{
    newTop = m_folds.Shown(std::clamp(newTop, 0, GetLineCount() - 1));
    if (newTop == m_nTopLine) return;
    if (m_bSmoothScroll && !noSmoothScroll) {
        while (m_nTopLine != newTop) {
            const int distance = m_folds.ToVisible(newTop) - m_folds.ToVisible(m_nTopLine);
            const int step = std::min(std::abs(distance) / 6 + 1, std::abs(distance));
            const int old = m_nTopLine;
            m_nTopLine = StepLine(m_nTopLine, distance > 0 ? step : -step);
            m_pHost->OnTopLineChanged(old, m_nTopLine);
            m_pHost->RepaintNow();
        }
    } else {
        const int old = m_nTopLine;
        m_nTopLine = newTop;
        m_pHost->OnTopLineChanged(old, newTop);
    }
    UpdateCaret();
}

void TextViewModel::ScrollToChar(int newOffset)
{
    newOffset = std::max(0, newOffset);
    if (newOffset == m_nOffsetChar) return;
    const int old = m_nOffsetChar;
    m_nOffsetChar = newOffset;
    m_pHost->OnOffsetCharChanged(old, newOffset);
    UpdateCaret();
}

void TextViewModel::OnVScroll(ScrollCode code, int trackPos)
{
    // The bar counts visible lines.
    const int count = GetVisibleLineCount();
    const int page = std::max(1, GetScreenLines());
    int top = m_folds.ToVisible(m_nTopLine);
    switch (code) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= std::max(1, page - 1); break;
    case SB_PAGEDOWN: top += std::max(1, page - 1); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = count - page + 1; break;
    case SB_THUMBTRACK: top = trackPos; break;
    }
    ScrollToLine(m_folds.ToLine(std::clamp(top, 0, count - 1)));
}

void TextViewModel::OnHScroll(ScrollCode code, int trackPos)
{
    const int count = std::max(1, GetMaxLineLength());
    const int page = std::max(1, GetScreenChars());
    int offset = m_nOffsetChar;
    switch (code) {
    case SB_LINEUP: offset -= 1; break;
    case SB_LINEDOWN: offset += 1; break;
    case SB_PAGEUP: offset -= std::max(1, page - 1); break;
    case SB_PAGEDOWN: offset += std::max(1, page - 1); break;
    case SB_TOP: offset = 0; break;
    case SB_BOTTOM: offset = count - page + 1; break;
    case SB_THUMBTRACK: offset = trackPos; break;
    }
    ScrollToChar(std::clamp(offset, 0, count - 1));
}

void TextViewModel::OnMouseWheel(int delta, bool shift, bool ctrl)
{
    if (shift || ctrl) return;
    ScrollToLine(StepLine(m_nTopLine, delta > 0 ? -1 : 1));
}

} // namespace brindle
