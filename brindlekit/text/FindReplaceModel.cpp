#include "brindlekit/text/FindReplaceModel.h"

#include "brindlekit/text/EditViewModel.h"
#include "brindlekit/text/TextSearch.h"
#include "platform/settings/Profile.h"
#include "platform/ui/UIServices.h"

namespace brindle {

// ---- Find ----

std::uint32_t FindDialogModel::Flags() const
{
    std::uint32_t flags = 0;
    if (m_bMatchCase) flags |= FIND_MATCH_CASE;
    if (m_bWholeWord) flags |= FIND_WHOLE_WORD;
    if (m_nDirection == 0) flags |= FIND_DIRECTION_UP;
    return flags;
}

void FindDialogModel::Prepare()
{
    if (m_view.HasLastSearch()) {
        const std::uint32_t flags = m_view.GetLastSearchFlags();
        m_strText = m_view.GetLastFindWhat();
        m_bMatchCase = (flags & FIND_MATCH_CASE) != 0;
        m_bWholeWord = (flags & FIND_WHOLE_WORD) != 0;
        m_nDirection = (flags & FIND_DIRECTION_UP) ? 0 : 1;
    } else {
        m_bMatchCase = Profile::GetProfileInt(kFindSection, "MatchCase", 0) != 0;
        m_bWholeWord = Profile::GetProfileInt(kFindSection, "WholeWord", 0) != 0;
        m_strText = Profile::GetProfileString(kFindSection, "FindWhat", "");
        m_nDirection = 1;
    }
    CPoint start;
    CPoint end;
    m_view.GetSelection(start, end);
    if (start.y == end.y && start.x != end.x) m_view.GetText(start, end, m_strText);
    m_ptCurrentPos = m_view.GetCursorPos();
    m_view.SetShowInactiveSelection(true);
}

bool FindDialogModel::FindNext()
{
    CPoint start = m_ptCurrentPos;
    // Upwards, the search starts before the selected match rather than at its end.
    if (m_nDirection == 0 && m_view.IsSelection() && m_ptCurrentPos == m_view.GetCursorPos()) {
        CPoint end;
        m_view.GetSelection(start, end);
    }
    CPoint found;
    if (m_view.FindText(m_strText, start, Flags(), true, &found)) {
        m_view.HighlightText(found, static_cast<int>(m_strText.size()));
        return true;
    }
    UIServices().MessageBox(NotFoundMessage(m_strText), MsgButtons::Ok, MsgIcon::Information);
    m_ptCurrentPos = CPoint(0, 0);
    return false;
}

void FindDialogModel::Close()
{
    m_view.SetShowInactiveSelection(false);
    m_view.SetLastSearch(m_strText, Flags());
    Profile::WriteProfileInt(kFindSection, "MatchCase", m_bMatchCase ? 1 : 0);
    Profile::WriteProfileInt(kFindSection, "WholeWord", m_bWholeWord ? 1 : 0);
    Profile::WriteProfileString(kFindSection, "FindWhat", m_strText);
}

// ---- Replace ----

bool ReplaceDialogModel::Begin()
{
    if (!m_view.QueryEditable()) return false;
    m_bMatchCase = Profile::GetProfileInt(kReplaceSection, "MatchCase", 0) != 0;
    m_bWholeWord = Profile::GetProfileInt(kReplaceSection, "WholeWord", 0) != 0;
    m_strText = Profile::GetProfileString(kReplaceSection, "FindWhat", "");
    m_strReplaceWith = Profile::GetProfileString(kReplaceSection, "ReplaceWith", "");
    m_bFound = false;
    if (m_view.IsSelection()) {
        m_nScope = 0;
        m_bEnableScopeSelection = true;
        m_view.GetSelection(m_ptBlockBegin, m_ptBlockEnd);
        m_ptSearchOrigin = m_ptBlockBegin;
        m_view.PushSelection();
    } else {
        m_nScope = 1;
        m_bEnableScopeSelection = false;
        m_ptSearchOrigin = m_view.GetCursorPos();
    }
    m_ptCurrentPos = m_ptSearchOrigin;
    m_view.SetShowInactiveSelection(true);
    return true;
}

void ReplaceDialogModel::End()
{
    m_view.SetShowInactiveSelection(false);
    if (m_view.IsSelectionPushed()) m_view.PopSelection();
    Profile::WriteProfileInt(kReplaceSection, "MatchCase", m_bMatchCase ? 1 : 0);
    Profile::WriteProfileInt(kReplaceSection, "WholeWord", m_bWholeWord ? 1 : 0);
    Profile::WriteProfileString(kReplaceSection, "FindWhat", m_strText);
    Profile::WriteProfileString(kReplaceSection, "ReplaceWith", m_strReplaceWith);
}

bool ReplaceDialogModel::HighlightNext()
{
    std::uint32_t flags = 0;
    if (m_bMatchCase) flags |= FIND_MATCH_CASE;
    if (m_bWholeWord) flags |= FIND_WHOLE_WORD;
    bool found;
    if (m_nScope == 1)
        found = m_view.FindText(m_strText, m_ptCurrentPos, flags, false, &m_ptCurrentPos);
    else
        found = m_view.FindTextInBlock(m_strText, m_ptCurrentPos, m_ptBlockBegin, m_ptBlockEnd, flags, false,
                                       &m_ptCurrentPos);
    if (found) {
        m_view.HighlightText(m_ptCurrentPos, static_cast<int>(m_strText.size()));
        return true;
    }
    UIServices().MessageBox(NotFoundMessage(m_strText), MsgButtons::Ok, MsgIcon::Information);
    m_ptSearchOrigin = m_nScope == 1 ? CPoint(0, 0) : m_ptBlockBegin;
    return false;
}

void ReplaceDialogModel::OnFindNext()
{
    if (m_bFound)
        ++m_ptCurrentPos.x;
    else
        m_ptCurrentPos = m_ptSearchOrigin;
    m_bFound = HighlightNext();
}

void ReplaceDialogModel::ReplaceFound()
{
    m_view.ReplaceSelection(m_strReplaceWith);
    const int delta = static_cast<int>(m_strReplaceWith.size()) - static_cast<int>(m_strText.size());
    if (m_bEnableScopeSelection) {
        if (m_ptBlockBegin.y == m_ptCurrentPos.y && m_ptBlockBegin.x > m_ptCurrentPos.x) m_ptBlockBegin.x += delta;
        if (m_ptBlockEnd.y == m_ptCurrentPos.y && m_ptBlockEnd.x > m_ptCurrentPos.x) m_ptBlockEnd.x += delta;
    }
    m_ptCurrentPos.x += static_cast<int>(m_strReplaceWith.size());
}

void ReplaceDialogModel::OnReplace()
{
    if (m_strText.empty()) return;
    if (m_bFound)
        ReplaceFound();
    else
        m_ptCurrentPos = m_ptSearchOrigin;
    m_bFound = HighlightNext();
}

void ReplaceDialogModel::OnReplaceAll()
{
    if (m_strText.empty()) return;
    if (!m_bFound) {
        m_ptCurrentPos = m_ptSearchOrigin;
        m_bFound = HighlightNext();
        if (!m_bFound) return;
    }
    while (m_bFound) {
        ReplaceFound();
        m_bFound = HighlightNext();
    }
}

} // namespace brindle
