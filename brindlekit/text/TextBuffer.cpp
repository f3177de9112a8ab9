#include "brindlekit/text/TextBuffer.h"

#include "brindlekit/text/LineArena.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace brindle {

namespace {

std::string PointText(int line, int pos) { return "(" + std::to_string(pos) + ", " + std::to_string(line) + ")"; }

// Splits inserted text at its line breaks: CR, optionally followed by LF.
void SplitAtBreaks(std::string_view text, std::vector<std::string_view>& pieces)
{
    std::size_t start = 0;
    for (;;) {
        const void* hit = std::memchr(text.data() + start, '\r', text.size() - start);
        if (!hit) break;
        const std::size_t cr = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        pieces.push_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    pieces.push_back(text.substr(start));
}

// Runs an edit on a line. A line that shared the arena's bytes has its own copy
// afterwards, and gives its place in the arena back.
template <class Edit>
void EditLine(LineArena& arena, TextLine& line, Edit&& edit)
{
    const char* shared = line.IsShared() ? line.Chars() : nullptr;
    edit(line);
    if (shared && !line.IsShared()) arena.Drop(shared);
}

// Frees a line that leaves the buffer: its own storage, or its place in the arena.
void ReleaseLine(LineArena& arena, TextLine& line)
{
    if (line.IsShared()) {
        arena.Drop(line.Chars());
        line = TextLine();
    } else {
        line.Release();
    }
}

// Keeps the view list stable while views are being called.
struct NotifyScope {
    int& depth;
    std::vector<ITextBufferView*>& views;
    explicit NotifyScope(int& d, std::vector<ITextBufferView*>& v) : depth(d), views(v) { ++depth; }
    ~NotifyScope()
    {
        if (--depth == 0) views.erase(std::remove(views.begin(), views.end(), nullptr), views.end());
    }
};

} // namespace

CTextBuffer::CTextBuffer() : m_pArena(std::make_unique<LineArena>()) {}

CTextBuffer::~CTextBuffer() { ReleaseLines(); }

// ---- Lines --------------------------------------------------------------------

const TextLine& CTextBuffer::Line(int line) const
{
    if (line < 0 || line >= GetLineCount())
        throw CTextIndexError("line index " + std::to_string(line) + " out of range (" +
                              std::to_string(GetLineCount()) + " lines)");
    return m_aLines[static_cast<std::size_t>(line)];
}

TextLine& CTextBuffer::Line(int line) { return const_cast<TextLine&>(std::as_const(*this).Line(line)); }

void CTextBuffer::CheckPoint(int line, int pos) const
{
    const int length = Line(line).Length();
    if (pos < 0 || pos > length)
        throw CTextIndexError("character index " + std::to_string(pos) + " out of range on line " +
                              std::to_string(line) + " (length " + std::to_string(length) + ")");
}

void CTextBuffer::CheckRange(int startLine, int startChar, int endLine, int endChar) const
{
    CheckPoint(startLine, startChar);
    CheckPoint(endLine, endChar);
    if (endLine < startLine || (endLine == startLine && endChar < startChar))
        throw CTextIndexError("range end " + PointText(endLine, endChar) + " before start " +
                              PointText(startLine, startChar));
}

std::size_t CTextBuffer::GetSharedStorageSize() const { return m_pArena->HeldBytes(); }

void CTextBuffer::InsertLine(const char* text, int length, int position)
{
    if (length < -1 || (!text && length > 0)) throw CTextIndexError("invalid line text length");
    if (position < -1 || position > GetLineCount())
        throw CTextIndexError("line position " + std::to_string(position) + " out of range");
    const int count = length == -1 ? (text ? static_cast<int>(std::strlen(text)) : 0) : length;
    TextLine line = TextLine::Create(text, count);
    m_bLinesOwnStorage = true;
    ++m_nChangeCount;
    try {
        if (position == -1)
            m_aLines.push_back(line);
        else
            m_aLines.insert(m_aLines.begin() + position, line);
    } catch (...) {
        line.Release();
        throw;
    }
}

void CTextBuffer::AppendLine(int line, const char* text, int length)
{
    TextLine& target = Line(line);
    if (length < -1 || (!text && length > 0)) throw CTextIndexError("invalid line text length");
    if (!text || length == 0) return;
    const int count = length == -1 ? static_cast<int>(std::strlen(text)) : length;
    m_bLinesOwnStorage = true;
    ++m_nChangeCount;
    EditLine(*m_pArena, target, [&](TextLine& l) { l.Append(text, count); });
}

void CTextBuffer::GetText(int startLine, int startChar, int endLine, int endChar, std::string& text,
                          const char* eol) const
{
    CheckRange(startLine, startChar, endLine, endChar);
    const std::string_view joint = eol ? std::string_view(eol) : std::string_view("\r\n");
    text.clear();
    if (startLine == endLine) {
        text.assign(Line(startLine).Text().substr(static_cast<std::size_t>(startChar),
                                                  static_cast<std::size_t>(endChar - startChar)));
        return;
    }
    std::size_t size = 0;
    for (int i = startLine; i <= endLine; ++i) size += static_cast<std::size_t>(Line(i).Length()) + joint.size();
    text.reserve(size);
    text.append(Line(startLine).Text().substr(static_cast<std::size_t>(startChar)));
    text.append(joint);
    for (int i = startLine + 1; i < endLine; ++i) {
        text.append(Line(i).Text());
        text.append(joint);
    }
    text.append(Line(endLine).Text().substr(0, static_cast<std::size_t>(endChar)));
}

// ---- Editing without undo --------------------------------------------------------

bool CTextBuffer::InternalInsertText(ITextBufferView* source, int line, int pos, const char* text, int& endLine,
                                     int& endChar)
{
    return InsertSplit(source, line, pos, text ? std::string_view(text) : std::string_view(), endLine, endChar);
}

bool CTextBuffer::InternalInsertText(ITextBufferView* source, int line, int pos, std::string_view text,
                                     int& endLine, int& endChar)
{
    return InsertSplit(source, line, pos, text, endLine, endChar);
}

bool CTextBuffer::InsertSplit(ITextBufferView* source, int line, int pos, std::string_view text, int& endLine,
                              int& endChar)
{
    CheckPoint(line, pos);
    if (m_bReadOnly) return false;
    // Text taken from the line being changed would move under our feet.
    std::string copy;
    if (Line(line).Overlaps(text.data(), text.size())) {
        copy.assign(text);
        text = copy;
    }
    if (!std::memchr(text.data(), '\r', text.size())) return InsertPieces(source, line, pos, &text, 1, endLine, endChar);
    std::vector<std::string_view> pieces;
    SplitAtBreaks(text, pieces);
    return InsertPieces(source, line, pos, pieces.data(), pieces.size(), endLine, endChar);
}

bool CTextBuffer::InsertPieces(ITextBufferView* source, int line, int pos, const std::string_view* pieces,
                               std::size_t count, int& endLine, int& endChar)
{
    CheckPoint(line, pos);
    if (m_bReadOnly) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (pieces[i].size() > static_cast<std::size_t>(TextLine::kMaxLength)) throw std::length_error("text line too long");
    const auto pieceLength = [&](std::size_t i) { return static_cast<int>(pieces[i].size()); };
    m_bLinesOwnStorage = true;

    std::uint32_t flags;
    if (count == 1) {
        EditLine(*m_pArena, Line(line), [&](TextLine& l) { l.InsertAt(pos, pieces[0].data(), pieceLength(0)); });
        endLine = line;
        endChar = pos + pieceLength(0);
        flags = UPD_LINE_TEXT;
    } else {
        const std::size_t added = count - 1;
        if (m_aLines.size() + added > static_cast<std::size_t>(0x7FFFFFFF)) throw std::length_error("too many lines");
        const std::string tail(Line(line).Text().substr(static_cast<std::size_t>(pos)));

        // Build the new lines first so that a failed allocation changes nothing.
        std::vector<TextLine> created;
        created.reserve(added);
        try {
            for (std::size_t i = 1; i + 1 < count; ++i)
                created.push_back(TextLine::Shared(m_pArena->Copy(pieces[i].data(), pieces[i].size()), pieceLength(i)));
            TextLine last = TextLine::Create(pieces[count - 1].data(), pieceLength(count - 1));
            created.push_back(last);
            created.back().Append(tail.data(), static_cast<int>(tail.size()));
            m_aLines.reserve(m_aLines.size() + added); // the insert below then cannot fail
            EditLine(*m_pArena, Line(line), [&](TextLine& l) { l.ReplaceFrom(pos, pieces[0].data(), pieceLength(0)); });
        } catch (...) {
            for (TextLine& l : created) ReleaseLine(*m_pArena, l);
            throw;
        }
        m_aLines.insert(m_aLines.begin() + line + 1, created.begin(), created.end());
        endLine = line + static_cast<int>(added);
        endChar = pieceLength(count - 1);
        flags = UPD_LINES_TEXT;
    }

    NotifyInserted(source, CPoint(pos, line), CPoint(endChar, endLine), flags);
    return true;
}

void CTextBuffer::NotifyInserted(ITextBufferView* source, const CPoint& start, const CPoint& end, std::uint32_t flags)
{
    ++m_nChangeCount;
    CInsertionContext context(start, end);
    UpdateViews(source, &context, flags, start.y);
    if (!m_bModified) SetModified(true);
}

bool CTextBuffer::InternalDeleteText(ITextBufferView* source, int startLine, int startChar, int endLine, int endChar)
{
    CheckRange(startLine, startChar, endLine, endChar);
    if (m_bReadOnly) return false;

    m_bLinesOwnStorage = true;
    std::uint32_t flags;
    if (startLine == endLine) {
        EditLine(*m_pArena, Line(startLine), [&](TextLine& l) { l.Erase(startChar, endChar); });
        flags = UPD_LINE_TEXT;
    } else {
        const TextLine& last = Line(endLine);
        const std::string_view kept = last.Text().substr(static_cast<std::size_t>(endChar));
        EditLine(*m_pArena, Line(startLine),
                 [&](TextLine& l) { l.ReplaceFrom(startChar, kept.data(), static_cast<int>(kept.size())); });
        const auto from = m_aLines.begin() + startLine + 1;
        const auto to = m_aLines.begin() + endLine + 1;
        for (auto it = from; it != to; ++it) ReleaseLine(*m_pArena, *it);
        m_aLines.erase(from, to);
        flags = UPD_LINES_TEXT;
    }

    ++m_nChangeCount;
    CDeletionContext context(CPoint(startChar, startLine), CPoint(endChar, endLine));
    UpdateViews(source, &context, flags, startLine);
    if (!m_bModified) SetModified(true);
    return true;
}

// ---- Editing with undo -----------------------------------------------------------

bool CTextBuffer::InsertText(ITextBufferView* source, int line, int pos, const char* text, int& endLine, int& endChar,
                             int action)
{
    return InsertText(source, line, pos, text ? std::string_view(text) : std::string_view(), endLine, endChar, action);
}

bool CTextBuffer::InsertText(ITextBufferView* source, int line, int pos, std::string_view text, int& endLine,
                             int& endChar, int action)
{
    // The record needs the text after the insertion; keep a copy when it lies in the buffer.
    std::string copy;
    if (line >= 0 && line < GetLineCount() && Line(line).Overlaps(text.data(), text.size())) {
        copy.assign(text);
        text = copy;
    }
    if (!InsertSplit(source, line, pos, text, endLine, endChar)) return false;
    RecordInsertion(source, CPoint(pos, line), CPoint(endChar, endLine), text, action);
    return true;
}

void CTextBuffer::RecordInsertion(ITextBufferView* source, const CPoint& start, const CPoint& end,
                                  std::string_view text, int action)
{
    const bool implicitGroup = !m_bUndoGroup;
    if (implicitGroup) {
        m_bUndoGroup = true;
        m_bUndoBeginGroup = true;
    }
    if (action != EA_UNKNOWN)
        AddUndoRecord(true, start, end, text, action);
    else
        SetModified(false);
    if (implicitGroup) FlushUndoGroup(source);
}

bool CTextBuffer::DeleteText(ITextBufferView* source, int startLine, int startChar, int endLine, int endChar,
                             int action)
{
    std::string text;
    GetText(startLine, startChar, endLine, endChar, text);
    // Lines that hold CR bytes themselves cannot be told from the "\r\n" joints when
    // the text is inserted again: keep each line's piece length for that case.
    std::vector<int> pieceLengths;
    bool ambiguous = false;
    for (int i = startLine; i <= endLine && !ambiguous; ++i)
        ambiguous = Line(i).Text().find('\r') != std::string_view::npos;
    if (ambiguous) {
        for (int i = startLine; i <= endLine; ++i) {
            const int from = i == startLine ? startChar : 0;
            const int to = i == endLine ? endChar : Line(i).Length();
            pieceLengths.push_back(to - from);
        }
    }

    if (!InternalDeleteText(source, startLine, startChar, endLine, endChar)) return false;
    const bool implicitGroup = !m_bUndoGroup;
    if (implicitGroup) {
        m_bUndoGroup = true;
        m_bUndoBeginGroup = true;
    }
    AddRecord(false, CPoint(startChar, startLine), CPoint(endChar, endLine), text, action, std::move(pieceLengths));
    if (implicitGroup) FlushUndoGroup(source);
    return true;
}

// ---- State -------------------------------------------------------------------------

void CTextBuffer::ReleaseLines()
{
    // A text just loaded lies wholly in the arena: no line to visit.
    if (m_bLinesOwnStorage)
        for (TextLine& line : m_aLines) line.Release();
    m_bLinesOwnStorage = false;
    m_aLines.clear();
    m_pArena->Clear();
    ++m_nChangeCount;
}

void CTextBuffer::ClearUndoHistory() { m_aUndoBuf.clear(); }

void CTextBuffer::ResetState(int mode, bool readOnly)
{
    m_bInit = true;
    m_bReadOnly = readOnly;
    m_bModified = false;
    m_nCRLFMode = mode;
    m_nUndoBufSize = kUndoLimit;
    m_nUndoPosition = 0;
    m_nSyncPosition = 0;
    m_bUndoGroup = false;
    m_bUndoBeginGroup = false;
    UpdateViews(nullptr, nullptr, UPD_RESET, -1);
}

bool CTextBuffer::InitNew(int mode)
{
    if (!IsValidEolMode(mode)) throw CTextIndexError("invalid end-of-line mode " + std::to_string(mode));
    ReleaseLines();
    ClearUndoHistory();
    m_aLines.push_back(TextLine());
    ResetState(mode, false);
    return true;
}

void CTextBuffer::FreeAll()
{
    ReleaseLines();
    ClearUndoHistory();
    m_aLines.shrink_to_fit();
    m_bInit = false;
    // The history is gone: nothing can be undone or redone any more.
    m_nUndoPosition = 0;
    m_nSyncPosition = 0;
}

void CTextBuffer::SetModified(bool modified) { m_bModified = modified; }

void CTextBuffer::SetCRLFMode(int mode)
{
    if (!IsValidEolMode(mode)) throw CTextIndexError("invalid end-of-line mode " + std::to_string(mode));
    m_nCRLFMode = mode;
}

// ---- Views -------------------------------------------------------------------------

void CTextBuffer::AddView(ITextBufferView* view) { m_lpViews.push_back(view); }

void CTextBuffer::RemoveView(ITextBufferView* view)
{
    const auto it = std::find(m_lpViews.begin(), m_lpViews.end(), view);
    if (it == m_lpViews.end() || !view) return;
    if (m_nNotifyDepth > 0)
        *it = nullptr;
    else
        m_lpViews.erase(it);
}

void CTextBuffer::UpdateViews(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line)
{
    NotifyScope scope(m_nNotifyDepth, m_lpViews);
    for (std::size_t i = 0; i < m_lpViews.size(); ++i)
        if (ITextBufferView* view = m_lpViews[i]) view->UpdateView(source, context, flags, line);
}

} // namespace brindle
