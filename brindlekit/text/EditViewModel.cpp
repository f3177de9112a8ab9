#include "brindlekit/text/EditViewModel.h"

#include "brindlekit/text/CharClass.h"
#include "brindlekit/text/EditAction.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextCommandIds.h"
#include "brindlekit/text/UpdateContext.h"

#include <algorithm>

namespace brindle {

using namespace textcmd;

EditViewModel::EditViewModel() = default;

void EditViewModel::ResetView()
{
    TextViewModel::ResetView();
    m_bAutoIndent = true;
    m_bOvrMode = false;
}

void EditViewModel::UpdateView(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line)
{
    TextViewModel::UpdateView(source, context, flags, line);
    if (m_bSelectionPushed && context) {
        // Text inserted right at the end of the saved selection replaces text that
        // was inside it, so the end moves behind it.
        const bool grows = dynamic_cast<CInsertionContext*>(context) && m_ptSavedSelEnd == context->m_ptStart &&
                           !(m_ptSavedSelStart == m_ptSavedSelEnd);
        context->RecalcPoint(m_ptSavedSelStart);
        if (grows)
            m_ptSavedSelEnd = context->m_ptEnd;
        else
            context->RecalcPoint(m_ptSavedSelEnd);
    }
}

bool EditViewModel::DefaultEditable() const
{
    return m_pTextBuffer && !m_pTextBuffer->GetReadOnly();
}

bool EditViewModel::QueryEditable() const
{
    return m_pHost->QueryEditable(DefaultEditable()) && m_pTextBuffer;
}

void EditViewModel::OnEditOperation(int action, std::string_view text)
{
    if (!m_bAutoIndent || action != EA_TYPING || text != "\r\n" || m_bOvrMode || !m_pTextBuffer) return;
    const int previous = m_ptCursorPos.y - 1;
    if (previous < 0) return;
    const std::string_view line = GetLineText(previous);
    std::size_t n = 0;
    while (n < line.size() && IsSpaceChar(static_cast<unsigned char>(line[n]))) ++n;
    if (n == 0) return;
    int endLine = 0;
    int endChar = 0;
    m_pTextBuffer->InsertText(nullptr, m_ptCursorPos.y, m_ptCursorPos.x, line.substr(0, n), endLine, endChar,
                              EA_AUTOINDENT);
    CollapseTo(CPoint(endChar, endLine));
}

void EditViewModel::OnChar(std::string_view typed)
{
    if (typed.empty() || !m_pTextBuffer) return;
    if (typed == "\r" || typed == "\n") {
        if (m_bOvrMode && m_ptCursorPos.y < GetLineCount() - 1) {
            CollapseTo(CPoint(0, m_ptCursorPos.y + 1));
            return;
        }
        m_pTextBuffer->BeginUndoGroup(false);
        if (!QueryEditable()) {
            m_pTextBuffer->FlushUndoGroup(this);
            return;
        }
        DeleteCurrentSelection();
        int endLine = 0;
        int endChar = 0;
        m_pTextBuffer->InsertText(this, m_ptCursorPos.y, m_ptCursorPos.x, std::string_view("\r\n"), endLine, endChar,
                                  EA_TYPING);
        CollapseTo(CPoint(endChar, endLine));
        m_pTextBuffer->FlushUndoGroup(this);
        return;
    }
    if (typed.size() == 1 && static_cast<unsigned char>(typed[0]) < 32) return;
    if (!QueryEditable()) return;

    m_pTextBuffer->BeginUndoGroup(typed != " ");
    if (IsSelection()) {
        DeleteCurrentSelection();
    } else if (m_bOvrMode && m_ptCursorPos.x < GetLineLength(m_ptCursorPos.y)) {
        const int next = NextCharIndex(m_ptCursorPos.y, m_ptCursorPos.x);
        m_pTextBuffer->DeleteText(this, m_ptCursorPos.y, m_ptCursorPos.x, m_ptCursorPos.y, next, EA_TYPING);
    }
    int endLine = 0;
    int endChar = 0;
    m_pTextBuffer->InsertText(this, m_ptCursorPos.y, m_ptCursorPos.x, typed, endLine, endChar, EA_TYPING);
    CollapseTo(CPoint(endChar, endLine));
    m_pTextBuffer->FlushUndoGroup(this);
}

bool EditViewModel::DeleteCurrentSelection()
{
    if (!IsSelection() || !m_pTextBuffer) return false;
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    CollapseTo(start);
    m_pTextBuffer->DeleteText(this, start.y, start.x, end.y, end.x, EA_DELSEL);
    return true;
}

bool EditViewModel::ReplaceSelection(std::string_view text)
{
    if (!IsSelection() || !QueryEditable()) return false;
    DeleteCurrentSelection();
    const CPoint start = m_ptCursorPos;
    CPoint end = start;
    if (!text.empty()) {
        int endLine = 0;
        int endChar = 0;
        m_pTextBuffer->InsertText(this, start.y, start.x, text, endLine, endChar, EA_REPLACE);
        end = CPoint(endChar, endLine);
    }
    m_ptAnchor = end;
    SetCursorPos(end);
    SetSelection(start, end);
    EnsureVisible(end);
    return true;
}

void EditViewModel::Cut()
{
    if (!QueryEditable() || !IsSelection()) return;
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    std::string text;
    GetText(start, end, text);
    // Text that did not reach the clipboard is not deleted.
    if (!PutToClipboard(text)) return;
    CollapseTo(start);
    m_pTextBuffer->DeleteText(this, start.y, start.x, end.y, end.x, EA_CUT);
}

void EditViewModel::Paste()
{
    if (!QueryEditable()) return;
    m_pTextBuffer->BeginUndoGroup(false);
    DeleteCurrentSelection();
    std::string text;
    if (GetFromClipboard(text) && !text.empty()) {
        int endLine = 0;
        int endChar = 0;
        m_pTextBuffer->InsertText(this, m_ptCursorPos.y, m_ptCursorPos.x, text, endLine, endChar, EA_PASTE);
        CollapseTo(CPoint(endChar, endLine));
    }
    m_pTextBuffer->FlushUndoGroup(this);
}

void EditViewModel::OnEditDelete()
{
    if (!QueryEditable()) return;
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    if (start == end) {
        if (end.x >= GetLineLength(end.y)) {
            if (end.y >= GetLineCount() - 1) return;
            end = CPoint(0, end.y + 1);
        } else {
            end.x = NextCharIndex(end.y, end.x);
        }
    }
    CollapseTo(start);
    m_pTextBuffer->DeleteText(this, start.y, start.x, end.y, end.x, EA_DELETE);
}

void EditViewModel::OnEditDeleteBack()
{
    if (IsSelection()) {
        OnEditDelete();
        return;
    }
    if (!QueryEditable()) return;
    const CPoint end = m_ptCursorPos;
    CPoint start = end;
    if (end.x > 0) {
        start.x = PrevCharIndex(end.y, end.x);
    } else if (!m_bDisableBSAtSOL && end.y > 0) {
        start = CPoint(GetLineLength(end.y - 1), end.y - 1);
    } else {
        return;
    }
    CollapseTo(start);
    m_pTextBuffer->DeleteText(this, start.y, start.x, end.y, end.x, EA_BACKSPACE);
}

void EditViewModel::BlockSelectionLines(int& firstLine, int& lastLine)
{
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    firstLine = start.y;
    lastLine = end.x == 0 ? end.y - 1 : end.y;
    // Widen to whole lines.
    start.x = 0;
    if (end.x > 0) end = NextLineStart(end.y);
    m_ptAnchor = start;
    SetSelection(start, end);
    SetCursorPos(end);
    EnsureVisible(end);
}

void EditViewModel::OnEditTab()
{
    if (!QueryEditable()) return;
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    if (start.y != end.y) {
        m_pTextBuffer->BeginUndoGroup(false);
        int first = 0;
        int last = 0;
        BlockSelectionLines(first, last);
        m_bHorzScrollBarLocked = true;
        for (int line = first; line <= last; ++line) {
            int endLine = 0;
            int endChar = 0;
            m_pTextBuffer->InsertText(this, line, 0, std::string_view("\t"), endLine, endChar, EA_INDENT);
        }
        m_bHorzScrollBarLocked = false;
        RecalcHorzScrollBar();
        m_pTextBuffer->FlushUndoGroup(this);
        return;
    }
    if (m_bOvrMode && !IsSelection() && m_ptCursorPos.x < GetLineLength(m_ptCursorPos.y)) {
        // Overwrite mode steps over the text towards the next tab stop.
        const std::string_view text = GetLineText(m_ptCursorPos.y);
        const int column = CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x);
        const int steps = m_nTabSize - column % m_nTabSize;
        int x = m_ptCursorPos.x;
        for (int i = 0; i < steps && x < static_cast<int>(text.size()); ++i) {
            const char c = text[static_cast<std::size_t>(x)];
            x = NextCharIndex(m_ptCursorPos.y, x);
            if (c == '\t') break;
        }
        CollapseTo(CPoint(x, m_ptCursorPos.y));
        return;
    }
    m_pTextBuffer->BeginUndoGroup(false);
    DeleteCurrentSelection();
    int endLine = 0;
    int endChar = 0;
    m_pTextBuffer->InsertText(this, m_ptCursorPos.y, m_ptCursorPos.x, std::string_view("\t"), endLine, endChar,
                              EA_TYPING);
    CollapseTo(CPoint(endChar, endLine));
    m_pTextBuffer->FlushUndoGroup(this);
}

void EditViewModel::OnEditUntab()
{
    if (!QueryEditable()) return;
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    if (start.y != end.y) {
        m_pTextBuffer->BeginUndoGroup(false);
        int first = 0;
        int last = 0;
        BlockSelectionLines(first, last);
        m_bHorzScrollBarLocked = true;
        for (int line = first; line <= last; ++line) {
            const std::string_view text = GetLineText(line);
            int n = 0;
            while (n < static_cast<int>(text.size()) && n < m_nTabSize && text[static_cast<std::size_t>(n)] == ' ') ++n;
            if (n < m_nTabSize && n < static_cast<int>(text.size()) && text[static_cast<std::size_t>(n)] == '\t') ++n;
            if (n > 0) m_pTextBuffer->DeleteText(this, line, 0, line, n, EA_INDENT);
        }
        m_bHorzScrollBarLocked = false;
        RecalcHorzScrollBar();
        m_pTextBuffer->FlushUndoGroup(this);
        return;
    }
    const int column = CalculateActualOffset(m_ptCursorPos.y, m_ptCursorPos.x);
    if (column == 0) return;
    int target = m_nTabSize * (column / m_nTabSize);
    if (target == column && target > 0) target -= m_nTabSize;
    const int length = GetLineLength(m_ptCursorPos.y);
    int x = 0;
    while (x < length && CalculateActualOffset(m_ptCursorPos.y, x) < target) x = NextCharIndex(m_ptCursorPos.y, x);
    CollapseTo(CPoint(x, m_ptCursorPos.y));
}

void EditViewModel::OnEditUndo()
{
    if (!m_pTextBuffer || !m_pTextBuffer->CanUndo()) return;
    CPoint pos;
    if (m_pTextBuffer->Undo(pos)) CollapseTo(pos);
}

void EditViewModel::OnEditRedo()
{
    if (!m_pTextBuffer || !m_pTextBuffer->CanRedo()) return;
    CPoint pos;
    if (m_pTextBuffer->Redo(pos)) CollapseTo(pos);
}

bool EditViewModel::DoDropText(std::string_view text, CPoint clientPoint)
{
    if (!QueryEditable()) return false;
    CPoint adjusted = clientPoint;
    AdjustTextPoint(adjusted);
    const CPoint pos = ClientToText(adjusted);
    if (m_bDraggingText) {
        // Dropping the dragged text onto itself moves nothing.
        const CPoint& b = m_ptDraggedTextBegin;
        const CPoint& e = m_ptDraggedTextEnd;
        const bool afterBegin = pos.y > b.y || (pos.y == b.y && pos.x >= b.x);
        const bool beforeEnd = pos.y < e.y || (pos.y == e.y && pos.x < e.x);
        if (afterBegin && beforeEnd) {
            CollapseTo(pos);
            return false;
        }
    }
    if (text.empty()) return false;
    int endLine = 0;
    int endChar = 0;
    m_pTextBuffer->InsertText(this, pos.y, pos.x, text, endLine, endChar, EA_DRAGDROP);
    const CPoint end(endChar, endLine);
    m_ptAnchor = pos;
    SetCursorPos(end);
    SetSelection(pos, end);
    EnsureVisible(end);
    return true;
}

void EditViewModel::OnDropSource(bool moved)
{
    if (!moved || !m_pTextBuffer) return;
    const CPoint b = m_ptDraggedTextBegin;
    const CPoint e = m_ptDraggedTextEnd;
    if (b == e) return;
    m_pTextBuffer->DeleteText(this, b.y, b.x, e.y, e.x, EA_DRAGDROP);
}

void EditViewModel::PushSelection()
{
    GetSelection(m_ptSavedSelStart, m_ptSavedSelEnd);
    m_bSelectionPushed = true;
}

void EditViewModel::PopSelection()
{
    if (!m_bSelectionPushed) return;
    m_bSelectionPushed = false;
    m_ptAnchor = m_ptSavedSelStart;
    SetCursorPos(m_ptSavedSelEnd);
    SetSelection(m_ptSavedSelStart, m_ptSavedSelEnd);
    EnsureVisible(m_ptSavedSelEnd);
}

bool EditViewModel::ExecuteCommand(int id)
{
    switch (id) {
    case ID_EDIT_CUT: Cut(); return true;
    case ID_EDIT_PASTE: Paste(); return true;
    case ID_EDIT_DELETE: OnEditDelete(); return true;
    case ID_EDIT_DELETE_BACK: OnEditDeleteBack(); return true;
    case ID_EDIT_TAB: OnEditTab(); return true;
    case ID_EDIT_UNTAB: OnEditUntab(); return true;
    case ID_EDIT_SWITCH_OVRMODE: OnEditSwitchOvrmode(); return true;
    case ID_EDIT_UNDO: OnEditUndo(); return true;
    case ID_EDIT_REDO: OnEditRedo(); return true;
    default: return TextViewModel::ExecuteCommand(id);
    }
}

bool EditViewModel::IsCommandEnabled(int id, bool& handled) const
{
    handled = true;
    switch (id) {
    case ID_EDIT_CUT: return IsSelection();
    case ID_EDIT_PASTE: return TextInClipboard();
    case ID_EDIT_UNDO: return m_pTextBuffer && m_pTextBuffer->CanUndo();
    case ID_EDIT_REDO: return m_pTextBuffer && m_pTextBuffer->CanRedo();
    case ID_EDIT_DELETE:
    case ID_EDIT_DELETE_BACK:
    case ID_EDIT_TAB:
    case ID_EDIT_UNTAB:
    case ID_EDIT_SWITCH_OVRMODE:
    case ID_EDIT_FIND:
    case ID_EDIT_REPLACE: return true;
    default: return TextViewModel::IsCommandEnabled(id, handled);
    }
}

bool EditViewModel::IsCommandChecked(int id) const
{
    return id == ID_EDIT_SWITCH_OVRMODE && m_bOvrMode;
}

StatusIndicator EditViewModel::GetIndicator(int paneId) const
{
    switch (paneId) {
    case ID_INDICATOR_READ: return {"Read", m_pTextBuffer && m_pTextBuffer->GetReadOnly()};
    case ID_INDICATOR_OVR: return {"OVR", m_bOvrMode};
    case ID_INDICATOR_EDIT_STATE: return {"", false};
    default: return TextViewModel::GetIndicator(paneId);
    }
}

} // namespace brindle
