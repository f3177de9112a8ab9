#include "brindlekit/text/TextBuffer.h"

#include "brindlekit/text/EditAction.h"

#include <string>

namespace brindle {

void CTextBuffer::AddUndoRecord(bool insert, const CPoint& start, const CPoint& end, std::string_view text, int action)
{
    AddRecord(insert, start, end, text, action, {});
}

void CTextBuffer::AddRecord(bool insert, const CPoint& start, const CPoint& end, std::string_view text, int action,
                            std::vector<int> pieceLengths)
{
    // A new change makes the redo tail unreachable.
    if (static_cast<std::size_t>(m_nUndoPosition) < m_aUndoBuf.size()) {
        if (m_nSyncPosition > m_nUndoPosition) m_nSyncPosition = -1;
        m_aUndoBuf.erase(m_aUndoBuf.begin() + m_nUndoPosition, m_aUndoBuf.end());
    }
    // At the limit the oldest whole group goes. The saved position follows the
    // records; if the saved state was inside the dropped group it is gone.
    if (m_aUndoBuf.size() >= static_cast<std::size_t>(m_nUndoBufSize)) {
        std::size_t drop = 1;
        while (drop < m_aUndoBuf.size() && !m_aUndoBuf[drop].BeginsGroup()) ++drop;
        m_aUndoBuf.erase(m_aUndoBuf.begin(), m_aUndoBuf.begin() + static_cast<std::ptrdiff_t>(drop));
        const int dropped = static_cast<int>(drop);
        m_nSyncPosition = m_nSyncPosition >= dropped ? m_nSyncPosition - dropped : -1;
    }

    UndoRecord record;
    record.m_dwFlags = insert ? UndoRecord::UNDO_INSERT : 0;
    // The first record always begins a group, so that every walk back finds one.
    if (m_bUndoBeginGroup || m_aUndoBuf.empty()) record.m_dwFlags |= UndoRecord::UNDO_BEGINGROUP;
    m_bUndoBeginGroup = false;
    record.m_ptStartPos = start;
    record.m_ptEndPos = end;
    record.m_nAction = action;
    record.SetText(text);
    record.SetPieceLengths(std::move(pieceLengths));
    m_aUndoBuf.push_back(std::move(record));
    m_nUndoPosition = static_cast<int>(m_aUndoBuf.size());
}

void CTextBuffer::BeginUndoGroup(bool mergeWithPrevious)
{
    m_bUndoGroup = true;
    m_bUndoBeginGroup = m_nUndoPosition == 0 || !mergeWithPrevious;
}

void CTextBuffer::FlushUndoGroup(ITextBufferView* source)
{
    if (source && m_nUndoPosition > 0 && static_cast<std::size_t>(m_nUndoPosition) <= m_aUndoBuf.size()) {
        m_bUndoBeginGroup = true;
        // The view may edit the buffer (and so the history) from its handler.
        const UndoRecord& last = m_aUndoBuf[static_cast<std::size_t>(m_nUndoPosition - 1)];
        const int action = last.m_nAction;
        const std::string text = last.GetText();
        source->OnEditOperation(action, text);
    }
    m_bUndoGroup = false;
}

bool CTextBuffer::CanUndo() const
{
    return m_nUndoPosition > 0 && static_cast<std::size_t>(m_nUndoPosition) <= m_aUndoBuf.size();
}

bool CTextBuffer::CanRedo() const
{
    return m_nUndoPosition >= 0 && static_cast<std::size_t>(m_nUndoPosition) < m_aUndoBuf.size();
}

const UndoRecord& CTextBuffer::GetUndoRecord(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_aUndoBuf.size())
        throw CTextIndexError("undo record " + std::to_string(index) + " out of range");
    return m_aUndoBuf[static_cast<std::size_t>(index)];
}

bool CTextBuffer::InsertUndoText(const UndoRecord& record)
{
    int endLine = 0;
    int endChar = 0;
    const CPoint start = record.m_ptStartPos;
    const std::vector<int>& lengths = record.GetPieceLengths();
    if (lengths.empty()) return InsertSplit(nullptr, start.y, start.x, record.GetText(), endLine, endChar);

    // Pieces of known length separated by "\r\n".
    const std::string_view text = record.GetText();
    std::vector<std::string_view> pieces;
    std::size_t offset = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (i > 0) offset += 2;
        const std::size_t length = static_cast<std::size_t>(lengths[i]);
        if (lengths[i] < 0 || offset + length > text.size()) throw CTextIndexError("corrupt undo record");
        pieces.push_back(text.substr(offset, length));
        offset += length;
    }
    return InsertPieces(nullptr, start.y, start.x, pieces.data(), pieces.size(), endLine, endChar);
}

void CTextBuffer::UpdateModifiedAfterUndo()
{
    if (m_bModified && m_nSyncPosition == m_nUndoPosition)
        SetModified(false);
    else if (!m_bModified && m_nSyncPosition != m_nUndoPosition)
        SetModified(true);
}

bool CTextBuffer::Undo(CPoint& cursor)
{
    if (!CanUndo()) throw CTextIndexError("nothing to undo");
    // Replaying onto a read-only text would leave the history out of step with it.
    if (m_bReadOnly) return false;
    do {
        const std::size_t index = static_cast<std::size_t>(m_nUndoPosition - 1);
        const UndoRecord& record = m_aUndoBuf[index];
        const bool beginsGroup = record.BeginsGroup();
        if (record.IsInsertion()) {
            const CPoint start = record.m_ptStartPos;
            const CPoint end = record.m_ptEndPos;
            InternalDeleteText(nullptr, start.y, start.x, end.y, end.x);
            cursor = start;
        } else {
            const CPoint end = record.m_ptEndPos;
            InsertUndoText(record);
            cursor = end;
        }
        m_nUndoPosition = static_cast<int>(index);
        if (beginsGroup) break;
    } while (m_nUndoPosition > 0);
    UpdateModifiedAfterUndo();
    return true;
}

bool CTextBuffer::Redo(CPoint& cursor)
{
    if (!CanRedo()) throw CTextIndexError("nothing to redo");
    if (m_bReadOnly) return false;
    do {
        const UndoRecord& record = m_aUndoBuf[static_cast<std::size_t>(m_nUndoPosition)];
        const CPoint start = record.m_ptStartPos;
        const CPoint end = record.m_ptEndPos;
        if (record.IsInsertion()) {
            int endLine = 0;
            int endChar = 0;
            InsertSplit(nullptr, start.y, start.x, record.GetText(), endLine, endChar);
            cursor = end;
        } else {
            InternalDeleteText(nullptr, start.y, start.x, end.y, end.x);
            cursor = start;
        }
        ++m_nUndoPosition;
    } while (static_cast<std::size_t>(m_nUndoPosition) < m_aUndoBuf.size() &&
             !m_aUndoBuf[static_cast<std::size_t>(m_nUndoPosition)].BeginsGroup());
    UpdateModifiedAfterUndo();
    return true;
}

bool CTextBuffer::GetActionDescription(int action, std::string& text) const
{
    const std::string_view name = EditActionName(action);
    if (name.empty()) return false;
    text.assign(name);
    return true;
}

int CTextBuffer::GetUndoDescription(std::string& text, int pos) const
{
    const int from = pos != 0 ? pos : m_nUndoPosition;
    if (from < 0 || static_cast<std::size_t>(from) > m_aUndoBuf.size())
        throw CTextIndexError("undo position " + std::to_string(from) + " out of range");
    int index = from - 1;
    while (index >= 0 && !m_aUndoBuf[static_cast<std::size_t>(index)].BeginsGroup()) --index;
    if (index < 0) throw CTextIndexError("no undo group before position " + std::to_string(from));
    if (!GetActionDescription(m_aUndoBuf[static_cast<std::size_t>(index)].m_nAction, text)) text.clear();
    return index;
}

int CTextBuffer::GetRedoDescription(std::string& text, int pos) const
{
    const int from = pos != 0 ? pos : m_nUndoPosition;
    if (from < 0 || static_cast<std::size_t>(from) >= m_aUndoBuf.size())
        throw CTextIndexError("redo position " + std::to_string(from) + " out of range");
    if (!GetActionDescription(m_aUndoBuf[static_cast<std::size_t>(from)].m_nAction, text)) text.clear();
    std::size_t next = static_cast<std::size_t>(from) + 1;
    while (next < m_aUndoBuf.size() && !m_aUndoBuf[next].BeginsGroup()) ++next;
    return next < m_aUndoBuf.size() ? static_cast<int>(next) : 0;
}

} // namespace brindle
