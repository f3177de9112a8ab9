// Bookmarks, command dispatch by id and the status panes of a text view.

#include "brindlekit/text/TextViewModel.h"

#include "brindlekit/text/EolMode.h"
#include "brindlekit/text/LineFlags.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextCommandIds.h"

#include <cstdio>

namespace brindle {

using namespace textcmd;

void TextViewModel::GoToLineStart(int line)
{
    CollapseTo(CPoint(0, line));
}

void TextViewModel::UpdateBookmarkExist()
{
    m_bBookmarkExist = m_pTextBuffer && m_pTextBuffer->GetLineCount() > 0 &&
                       m_pTextBuffer->FindLineWithFlag(LINEF_BOOKMARK) >= 0;
}

void TextViewModel::OnToggleBookmark(int number)
{
    if (!m_pTextBuffer || number < 0 || number >= kNumberedBookmarkCount) return;
    const std::uint32_t flag = LINEF_BOOKMARK_N(number);
    const int line = m_ptCursorPos.y;
    const bool set = (m_pTextBuffer->GetLineFlags(line) & flag) == 0;
    m_pTextBuffer->SetLineFlag(line, flag, set, true);
}

void TextViewModel::OnGoBookmark(int number)
{
    if (!m_pTextBuffer || number < 0 || number >= kNumberedBookmarkCount) return;
    const int line = m_pTextBuffer->GetLineWithFlag(LINEF_BOOKMARK_N(number));
    if (line >= 0) GoToLineStart(line);
}

void TextViewModel::OnClearBookmarks()
{
    if (!m_pTextBuffer) return;
    for (int n = 0; n < kNumberedBookmarkCount; ++n) {
        const int line = m_pTextBuffer->GetLineWithFlag(LINEF_BOOKMARK_N(n));
        if (line >= 0) m_pTextBuffer->SetLineFlag(line, LINEF_BOOKMARK_N(n), false, false);
    }
}

void TextViewModel::OnToggleBookmark()
{
    if (!m_pTextBuffer) return;
    const int line = m_ptCursorPos.y;
    const bool set = (m_pTextBuffer->GetLineFlags(line) & LINEF_BOOKMARK) == 0;
    m_pTextBuffer->SetLineFlag(line, LINEF_BOOKMARK, set, false);
    if (set)
        m_bBookmarkExist = true;
    else
        UpdateBookmarkExist();
}

void TextViewModel::OnNextBookmark()
{
    if (!m_pTextBuffer) return;
    const int line = m_pTextBuffer->FindNextBookmarkLine(m_ptCursorPos.y);
    if (line >= 0) GoToLineStart(line);
}

void TextViewModel::OnPrevBookmark()
{
    if (!m_pTextBuffer) return;
    const int line = m_pTextBuffer->FindPrevBookmarkLine(m_ptCursorPos.y);
    if (line >= 0) GoToLineStart(line);
}

void TextViewModel::OnClearAllBookmarks()
{
    if (!m_pTextBuffer) return;
    const int count = m_pTextBuffer->GetLineCount();
    for (int line = 0; line < count; ++line)
        if (m_pTextBuffer->GetLineFlags(line) & LINEF_BOOKMARK) m_pTextBuffer->SetLineFlag(line, LINEF_BOOKMARK, false, false);
    m_bBookmarkExist = false;
}

bool TextViewModel::ExecuteCommand(int id)
{
    if (id >= ID_EDIT_TOGGLE_BOOKMARK0 && id < ID_EDIT_TOGGLE_BOOKMARK0 + kNumberedBookmarkCount) {
        OnToggleBookmark(id - ID_EDIT_TOGGLE_BOOKMARK0);
        return true;
    }
    if (id >= ID_EDIT_GO_BOOKMARK0 && id < ID_EDIT_GO_BOOKMARK0 + kNumberedBookmarkCount) {
        OnGoBookmark(id - ID_EDIT_GO_BOOKMARK0);
        return true;
    }
    switch (id) {
    case ID_EDIT_CHAR_LEFT: MoveLeft(false); break;
    case ID_EDIT_EXT_CHAR_LEFT: MoveLeft(true); break;
    case ID_EDIT_CHAR_RIGHT: MoveRight(false); break;
    case ID_EDIT_EXT_CHAR_RIGHT: MoveRight(true); break;
    case ID_EDIT_WORD_LEFT: MoveWordLeft(false); break;
    case ID_EDIT_EXT_WORD_LEFT: MoveWordLeft(true); break;
    case ID_EDIT_WORD_RIGHT: MoveWordRight(false); break;
    case ID_EDIT_EXT_WORD_RIGHT: MoveWordRight(true); break;
    case ID_EDIT_LINE_UP: MoveUp(false); break;
    case ID_EDIT_EXT_LINE_UP: MoveUp(true); break;
    case ID_EDIT_LINE_DOWN: MoveDown(false); break;
    case ID_EDIT_EXT_LINE_DOWN: MoveDown(true); break;
    case ID_EDIT_SCROLL_UP: ScrollUp(); break;
    case ID_EDIT_SCROLL_DOWN: ScrollDown(); break;
    case ID_EDIT_PAGE_UP: MovePgUp(false); break;
    case ID_EDIT_EXT_PAGE_UP: MovePgUp(true); break;
    case ID_EDIT_PAGE_DOWN: MovePgDn(false); break;
    case ID_EDIT_EXT_PAGE_DOWN: MovePgDn(true); break;
    case ID_EDIT_LINE_END: MoveEnd(false); break;
    case ID_EDIT_EXT_LINE_END: MoveEnd(true); break;
    case ID_EDIT_HOME: MoveHome(false); break;
    case ID_EDIT_EXT_HOME: MoveHome(true); break;
    case ID_EDIT_TEXT_BEGIN: MoveCtrlHome(false); break;
    case ID_EDIT_EXT_TEXT_BEGIN: MoveCtrlHome(true); break;
    case ID_EDIT_TEXT_END: MoveCtrlEnd(false); break;
    case ID_EDIT_EXT_TEXT_END: MoveCtrlEnd(true); break;
    case ID_EDIT_SELECT_ALL: SelectAll(); break;
    case ID_EDIT_COPY: Copy(); break;
    case ID_EDIT_CLEAR_BOOKMARKS: OnClearBookmarks(); break;
    case ID_EDIT_TOGGLE_BOOKMARK: OnToggleBookmark(); break;
    case ID_EDIT_GOTO_NEXT_BOOKMARK:
        if (m_bBookmarkExist) OnNextBookmark();
        break;
    case ID_EDIT_GOTO_PREV_BOOKMARK:
        if (m_bBookmarkExist) OnPrevBookmark();
        break;
    case ID_EDIT_CLEAR_ALL_BOOKMARKS:
        if (m_bBookmarkExist) OnClearAllBookmarks();
        break;
    case ID_EDIT_REPEAT: OnEditRepeat(); break;
    case ID_EDIT_FIND_PREVIOUS: OnEditFindPrevious(); break;
    case ID_EDIT_FOLD_ALL: FoldAll(); break;
    case ID_EDIT_UNFOLD_ALL: UnfoldAll(); break;
    default: return false;
    }
    return true;
}

bool TextViewModel::IsCommandEnabled(int id, bool& handled) const
{
    handled = true;
    switch (id) {
    case ID_EDIT_GOTO_NEXT_BOOKMARK:
    case ID_EDIT_GOTO_PREV_BOOKMARK:
    case ID_EDIT_CLEAR_ALL_BOOKMARKS: return m_bBookmarkExist;
    case ID_EDIT_REPEAT:
    case ID_EDIT_FIND_PREVIOUS: return m_bLastSearch;
    case ID_EDIT_COPY: return IsSelection();
    case ID_EDIT_SELECT_ALL: return true;
    case ID_EDIT_FOLD_ALL: return m_bFolding;
    case ID_EDIT_UNFOLD_ALL: return !m_folds.Empty();
    default: break;
    }
    if ((id >= ID_EDIT_CHAR_LEFT && id <= ID_EDIT_EXT_TEXT_END) ||
        (id >= ID_EDIT_TOGGLE_BOOKMARK0 && id <= ID_EDIT_CLEAR_BOOKMARKS) || id == ID_EDIT_TOGGLE_BOOKMARK)
        return true;
    handled = false;
    return false;
}

StatusIndicator TextViewModel::GetIndicator(int paneId) const
{
    StatusIndicator indicator;
    switch (paneId) {
    case ID_INDICATOR_POSITION: {
        char text[64];
        std::snprintf(text, sizeof text, "Ln %d, Col %d", m_ptCursorPos.y + 1, m_ptCursorPos.x + 1);
        indicator.text = text;
        indicator.enabled = true;
        break;
    }
    case ID_INDICATOR_CRLF:
        if (m_pTextBuffer) {
            indicator.text = std::string(EolIndicatorText(m_pTextBuffer->GetCRLFMode()));
            indicator.enabled = true;
        }
        break;
    default: break;
    }
    return indicator;
}

} // namespace brindle

#include "platform/ui/Clipboard.h"

namespace brindle {

IClipboard& TextViewModel::GetClipboard() const { return m_pClipboard ? *m_pClipboard : Clipboard(); }

bool TextViewModel::TextInClipboard() const { return GetClipboard().HasText(); }

bool TextViewModel::PutToClipboard(const std::string& text)
{
    if (text.empty()) return false;
    return GetClipboard().SetText(text);
}

bool TextViewModel::GetFromClipboard(std::string& text) const
{
    std::optional<std::string> stored = GetClipboard().GetText();
    if (!stored) return false;
    text = std::move(*stored);
    return true;
}

void TextViewModel::Copy()
{
    if (!IsSelection()) return;
    CPoint start;
    CPoint end;
    GetSelection(start, end);
    std::string text;
    GetText(start, end, text);
    PutToClipboard(text);
}

bool TextViewModel::IsCommandChecked(int) const
{
    return false;
}

} // namespace brindle
