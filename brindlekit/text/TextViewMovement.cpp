// Keyboard movement of the cursor.

#include "brindlekit/text/TextViewModel.h"

#include "brindlekit/text/CharClass.h"

#include <algorithm>

namespace brindle {

void TextViewModel::FinishMove(bool extend, bool setIdeal)
{
    if (setIdeal) m_nIdealCharPos = CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x);
    EnsureVisible(m_ptCursorPos);
    UpdateCaret();
    if (!extend) m_ptAnchor = m_ptCursorPos;
    SetSelection(m_ptAnchor, m_ptCursorPos);
}

void TextViewModel::MoveLeft(bool extend)
{
    if (IsSelection() && !extend) {
        CPoint start;
        CPoint end;
        GetSelection(start, end);
        m_ptCursorPos = start;
    } else if (m_ptCursorPos.x == 0) {
        if (m_ptCursorPos.y > 0) {
            m_ptCursorPos.y = StepLine(m_ptCursorPos.y, -1);
            m_ptCursorPos.x = GetLineLength(m_ptCursorPos.y);
        }
    } else {
        m_ptCursorPos.x = PrevCharIndex(m_ptCursorPos.y, m_ptCursorPos.x);
    }
    FinishMove(extend, true);
}

void TextViewModel::MoveRight(bool extend)
{
    if (IsSelection() && !extend) {
        CPoint start;
        CPoint end;
        GetSelection(start, end);
        m_ptCursorPos = end;
    } else if (m_ptCursorPos.x >= GetLineLength(m_ptCursorPos.y)) {
        if (const int next = StepLine(m_ptCursorPos.y, 1); next != m_ptCursorPos.y) {
            m_ptCursorPos.y = next;
            m_ptCursorPos.x = 0;
        }
    } else {
        m_ptCursorPos.x = NextCharIndex(m_ptCursorPos.y, m_ptCursorPos.x);
    }
    FinishMove(extend, true);
}

void TextViewModel::MoveWordLeft(bool extend)
{
    if (IsSelection() && !extend) {
        MoveLeft(false);
        return;
    }
    CPoint pos = m_ptCursorPos;
    if (pos.x == 0) {
        if (pos.y == 0) {
            FinishMove(extend, true);
            return;
        }
        pos.y = StepLine(pos.y, -1);
        pos.x = GetLineLength(pos.y);
    }
    const std::string_view text = GetLineText(pos.y);
    int x = std::min<int>(pos.x, static_cast<int>(text.size()));
    auto at = [&](int i) { return static_cast<unsigned char>(text[static_cast<std::size_t>(i)]); };
    while (x > 0 && IsSpaceChar(at(x - 1))) --x;
    if (x > 0 && IsWordChar(at(x - 1))) {
        while (x > 0 && IsWordChar(at(x - 1))) --x;
    } else {
        while (x > 0 && !IsWordChar(at(x - 1)) && !IsSpaceChar(at(x - 1))) --x;
    }
    m_ptCursorPos = CPoint(x, pos.y);
    FinishMove(extend, true);
}

void TextViewModel::MoveWordRight(bool extend)
{
    if (IsSelection() && !extend) {
        MoveRight(false);
        return;
    }
    CPoint pos = m_ptCursorPos;
    if (pos.x >= GetLineLength(pos.y)) {
        const int next = StepLine(pos.y, 1);
        if (next == pos.y) {
            FinishMove(extend, true);
            return;
        }
        pos = CPoint(0, next);
    }
    const std::string_view text = GetLineText(pos.y);
    const int length = static_cast<int>(text.size());
    int x = pos.x;
    auto at = [&](int i) { return static_cast<unsigned char>(text[static_cast<std::size_t>(i)]); };
    if (x < length) {
        if (IsWordChar(at(x))) {
            while (x < length && IsWordChar(at(x))) ++x;
        } else {
            while (x < length && !IsWordChar(at(x)) && !IsSpaceChar(at(x))) ++x;
        }
        while (x < length && IsSpaceChar(at(x))) ++x;
    }
    m_ptCursorPos = CPoint(x, pos.y);
    FinishMove(extend, true);
}

void TextViewModel::MoveUp(bool extend)
{
    if (IsSelection() && !extend) {
        CPoint start;
        CPoint end;
        GetSelection(start, end);
        m_ptCursorPos = start;
    }
    if (m_nIdealCharPos < 0) m_nIdealCharPos = CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x);
    if (m_ptCursorPos.y > 0) {
        m_ptCursorPos.y = StepLine(m_ptCursorPos.y, -1);
        m_ptCursorPos.x = SnapToCharStart(
            m_ptCursorPos.y,
            std::min(ApproxActualOffset(m_ptCursorPos.y, m_nIdealCharPos), GetLineLength(m_ptCursorPos.y)));
    }
    FinishMove(extend, false);
}

void TextViewModel::MoveDown(bool extend)
{
    if (IsSelection() && !extend) {
        CPoint start;
        CPoint end;
        GetSelection(start, end);
        m_ptCursorPos = end;
    }
    if (m_nIdealCharPos < 0) m_nIdealCharPos = CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x);
    if (m_ptCursorPos.y < GetLineCount() - 1) {
        m_ptCursorPos.y = StepLine(m_ptCursorPos.y, 1);
        m_ptCursorPos.x = SnapToCharStart(
            m_ptCursorPos.y,
            std::min(ApproxActualOffset(m_ptCursorPos.y, m_nIdealCharPos), GetLineLength(m_ptCursorPos.y)));
    }
    FinishMove(extend, false);
}

void TextViewModel::MovePgUp(bool extend)
{
    // A window of one line still pages by one line.
    const int step = std::max(1, GetScreenLines() - 1);
    const int newTop = StepLine(m_nTopLine, -step);
    if (newTop != m_nTopLine) ScrollToLine(newTop);
    m_ptCursorPos.y = StepLine(m_ptCursorPos.y, -step);
    m_ptCursorPos.x = SnapToCharStart(m_ptCursorPos.y, std::min(m_ptCursorPos.x, GetLineLength(m_ptCursorPos.y)));
    FinishMove(extend, false);
}

void TextViewModel::MovePgDn(bool extend)
{
    const int step = std::max(1, GetScreenLines() - 1);
    const int newTop = StepLine(m_nTopLine, step);
    if (newTop != m_nTopLine) ScrollToLine(newTop);
    m_ptCursorPos.y = StepLine(m_ptCursorPos.y, step);
    m_ptCursorPos.x = SnapToCharStart(m_ptCursorPos.y, std::min(m_ptCursorPos.x, GetLineLength(m_ptCursorPos.y)));
    FinishMove(extend, false);
}

void TextViewModel::MoveHome(bool extend)
{
    const std::string_view text = GetLineText(m_ptCursorPos.y);
    int first = 0;
    while (first < static_cast<int>(text.size()) && IsSpaceChar(static_cast<unsigned char>(text[static_cast<std::size_t>(first)])))
        ++first;
    const bool blank = first == static_cast<int>(text.size());
    m_ptCursorPos.x = (blank || m_ptCursorPos.x == first) ? 0 : first;
    FinishMove(extend, true);
}

void TextViewModel::MoveEnd(bool extend)
{
    m_ptCursorPos.x = GetLineLength(m_ptCursorPos.y);
    FinishMove(extend, true);
}

void TextViewModel::MoveCtrlHome(bool extend)
{
    m_ptCursorPos = CPoint(0, 0);
    FinishMove(extend, true);
}

void TextViewModel::MoveCtrlEnd(bool extend)
{
    m_ptCursorPos = LastTextPos();
    FinishMove(extend, true);
}

void TextViewModel::ScrollUp()
{
    if (m_nTopLine > 0) ScrollToLine(StepLine(m_nTopLine, -1));
}

void TextViewModel::ScrollDown()
{
    if (m_nTopLine < GetLineCount() - 1) ScrollToLine(StepLine(m_nTopLine, 1));
}

CPoint TextViewModel::WordToLeft(CPoint pos) const
{
    const std::string_view text = GetLineText(pos.y);
    pos.x = std::min<int>(pos.x, static_cast<int>(text.size()));
    while (pos.x > 0 && IsWordChar(static_cast<unsigned char>(text[static_cast<std::size_t>(pos.x - 1)]))) --pos.x;
    return pos;
}

CPoint TextViewModel::WordToRight(CPoint pos) const
{
    const std::string_view text = GetLineText(pos.y);
    const int length = static_cast<int>(text.size());
    while (pos.x < length && IsWordChar(static_cast<unsigned char>(text[static_cast<std::size_t>(pos.x)]))) ++pos.x;
    return pos;
}

} // namespace brindle
