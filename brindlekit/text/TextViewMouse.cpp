// Mouse selection, auto-scroll and the start of a text drag.

#include "brindlekit/text/TextViewModel.h"

#include "brindlekit/text/EditAction.h"
#include "brindlekit/text/TextBuffer.h"

#include <algorithm>

namespace brindle {

namespace {

bool Before(const CPoint& a, const CPoint& b)
{
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

} // namespace

void TextViewModel::SelectWords(const CPoint& anchor, const CPoint& cursor)
{
    CPoint start;
    CPoint end;
    if (Before(anchor, cursor)) {
        start = WordToLeft(anchor);
        end = WordToRight(cursor);
    } else {
        start = WordToRight(anchor);
        end = WordToLeft(cursor);
    }
    m_ptCursorPos = end;
    m_nIdealCharPos = CalculateActualOffset(end.y, end.x);
    SetSelection(start, end);
}

MouseResult TextViewModel::OnLButtonDown(CPoint point, bool shift, bool ctrl)
{
    if (point.x >= m_gutter.FoldsLeft() && point.x < m_gutter.Width() && point.y >= 0) {
        // The fold-marker column: a marker folds or unfolds its range; elsewhere it is margin.
        const int line = LineAtRow(point.y / std::max(1, m_nLineHeight));
        if (line >= 0 && GetFoldMarker(line) != FoldMarker::None) {
            ToggleFold(line);
            return MouseResult::None;
        }
    }
    const bool inMargin = point.x < GetMarginWidth();
    CPoint adjusted = point;
    AdjustTextPoint(adjusted);
    const CPoint text = ClientToText(adjusted);

    if (inMargin) {
        if (ctrl) {
            SelectAll();
            return MouseResult::None;
        }
        SetCursorPos(CPoint(0, text.y));
        if (!shift) m_ptAnchor = m_ptCursorPos;
        EnsureVisible(m_ptCursorPos);
        SetSelection(NextLineStart(m_ptAnchor.y), m_ptCursorPos);
        m_bLineSelection = true;
        m_bWordSelection = false;
    } else {
        if (!m_bDisableDragAndDrop && IsInsideSelection(text)) {
            m_bPreparingToDrag = true;
            m_ptDragStart = text;
            return MouseResult::None;
        }
        SetCursorPos(text);
        if (!shift) m_ptAnchor = m_ptCursorPos;
        m_bWordSelection = ctrl;
        m_bLineSelection = false;
        if (m_bWordSelection)
            SelectWords(m_ptAnchor, m_ptCursorPos);
        else
            SetSelection(m_ptAnchor, m_ptCursorPos);
        EnsureVisible(m_ptCursorPos);
        UpdateCaret();
    }
    m_bDragSelection = true;
    m_pHost->BeginMouseCapture();
    return MouseResult::None;
}

void TextViewModel::UpdateDragSelection(CPoint point)
{
    // The cursor follows the pointer within the visible lines; the timer scrolls.
    const int lineHeight = std::max(1, m_nLineHeight);
    point.y = std::clamp(point.y, 0, std::max(0, GetScreenLines() * lineHeight - 1));
    CPoint adjusted = point;
    AdjustTextPoint(adjusted);
    const CPoint text = ClientToText(adjusted);
    if (m_bLineSelection) {
        // Whole lines from the anchor's line to the line under the pointer.
        const int anchorLine = m_ptAnchor.y;
        if (text.y < anchorLine) {
            m_ptCursorPos = CPoint(0, text.y);
            SetSelection(NextLineStart(anchorLine), m_ptCursorPos);
        } else {
            m_ptCursorPos = NextLineStart(text.y);
            SetSelection(CPoint(0, anchorLine), m_ptCursorPos);
        }
        m_nIdealCharPos = CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x);
    } else if (m_bWordSelection) {
        m_ptCursorPos = text;
        SelectWords(m_ptAnchor, text);
    } else {
        SetCursorPos(text);
        SetSelection(m_ptAnchor, m_ptCursorPos);
    }
    EnsureVisible(m_ptCursorPos);
    UpdateCaret();
}

MouseResult TextViewModel::OnMouseMove(CPoint point)
{
    if (m_bDragSelection) {
        UpdateDragSelection(point);
        return MouseResult::None;
    }
    if (m_bPreparingToDrag) {
        m_bPreparingToDrag = false;
        return MouseResult::StartDrag;
    }
    return MouseResult::None;
}

void TextViewModel::OnLButtonUp(CPoint point)
{
    if (m_bDragSelection) {
        UpdateDragSelection(point);
        m_bDragSelection = false;
        m_pHost->EndMouseCapture();
    }
    if (m_bPreparingToDrag) {
        // A click inside the selection that never became a drag places the cursor.
        m_bPreparingToDrag = false;
        CPoint adjusted = point;
        AdjustTextPoint(adjusted);
        CollapseTo(ClientToText(adjusted));
    }
}

void TextViewModel::OnLButtonDblClk(CPoint point)
{
    if (point.x < GetMarginWidth()) return;
    CPoint adjusted = point;
    AdjustTextPoint(adjusted);
    const CPoint text = ClientToText(adjusted);
    m_bPreparingToDrag = false;
    m_ptAnchor = WordToLeft(text);
    SetCursorPos(WordToRight(text));
    SetSelection(m_ptAnchor, m_ptCursorPos);
    EnsureVisible(m_ptCursorPos);
    m_bWordSelection = true;
    m_bLineSelection = false;
    if (!m_bDragSelection) {
        m_bDragSelection = true;
        m_pHost->BeginMouseCapture();
    }
}

void TextViewModel::OnRButtonDown(CPoint point)
{
    CPoint adjusted = point;
    AdjustTextPoint(adjusted);
    const CPoint text = ClientToText(adjusted);
    if (!IsInsideSelection(text)) CollapseTo(text);
}

void TextViewModel::OnTimer(CPoint point)
{
    if (!m_bDragSelection) return;
    const int lineHeight = std::max(1, m_nLineHeight);
    if (point.y < 0) {
        const int step = point.y < -lineHeight ? 3 : 1;
        ScrollToLine(StepLine(m_nTopLine, -step), true);
    } else if (point.y >= m_nClientHeight) {
        const int step = point.y >= m_nClientHeight + lineHeight ? 3 : 1;
        ScrollToLine(StepLine(m_nTopLine, step), true);
    }
    if (point.x < 0)
        ScrollToChar(m_nOffsetChar - 1);
    else if (point.x >= m_nClientWidth)
        ScrollToChar(std::min(m_nOffsetChar + 1, std::max(0, GetMaxLineLength() - 1)));
    UpdateDragSelection(point);
}

void TextViewModel::OnKillFocus()
{
    m_bPreparingToDrag = false;
    if (m_bDragSelection) {
        m_bDragSelection = false;
        m_pHost->EndMouseCapture();
    }
}

TextViewModel::PointerShape TextViewModel::GetPointerShape(CPoint point) const
{
    if (point.x < GetMarginWidth()) return PointerShape::Margin;
    CPoint adjusted = point;
    AdjustTextPoint(adjusted);
    if (!m_bDisableDragAndDrop && IsInsideSelection(ClientToText(adjusted))) return PointerShape::Arrow;
    return PointerShape::IBeam;
}

std::string TextViewModel::PrepareDragData()
{
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    std::string text;
    GetText(start, end, text);
    m_ptDraggedTextBegin = start;
    m_ptDraggedTextEnd = end;
    return text;
}

void TextViewModel::BeginDragText()
{
    if (m_pTextBuffer) m_pTextBuffer->BeginUndoGroup(false);
    m_bDraggingText = true;
}

void TextViewModel::EndDragText(bool moved)
{
    if (moved) OnDropSource(true);
    m_bDraggingText = false;
    if (m_pTextBuffer) m_pTextBuffer->FlushUndoGroup(this);
}

void TextViewModel::OnDropSource(bool) {}

} // namespace brindle
