#pragma once

#include "brindlekit/text/EditAction.h"
#include "brindlekit/text/EolMode.h"
#include "brindlekit/text/LineFlags.h"
#include "brindlekit/text/Point.h"
#include "brindlekit/text/TextBufferView.h"
#include "brindlekit/text/TextIndexError.h"
#include "brindlekit/text/TextLine.h"
#include "brindlekit/text/LineTableAllocator.h"
#include "brindlekit/text/UndoRecord.h"
#include "brindlekit/text/UpdateContext.h"
#include "brindlekit/text/UpdateFlags.h"
#include "platform/Export.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

class LineArena;

using LineTable = std::vector<TextLine, LineTableAllocator<TextLine>>;

// Told how far a file read or write has come (bytes of the total); false stops it.
using FileProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// The text of one document: lines of 8-bit characters, loaded and saved with one of
// three line-break conventions, edited only through InsertText and DeleteText, with
// per-line flags, modified and read-only state, a shared undo history and the views
// it notifies after every change.
//
// Line indices and character (byte) indices are from 0. An index, range or mode
// that does not exist raises CTextIndexError.
class BRINDLEKIT_API CTextBuffer {
public:
    static constexpr int kUndoLimit = 1024;

    CTextBuffer();
    virtual ~CTextBuffer();
    CTextBuffer(const CTextBuffer&) = delete;
    CTextBuffer& operator=(const CTextBuffer&) = delete;

    // ---- Whole text ----
    // One empty line, not modified, not read-only, empty history; notifies UPD_RESET.
    bool InitNew(int mode = EOL_CRLF);
    // Reads the file (mode -1: detected from its first 32768 bytes). On failure the
    // buffer keeps its previous contents and false is returned, silently. progress,
    // when given, is told after every block read; its false stops the load, which
    // then fails the same way.
    bool LoadFromFile(const char* path, int mode = -1, const FileProgress& progress = {});
    // Writes the lines joined by the mode's line break (mode -1: the buffer's) to a
    // temporary file beside the target and renames it over the target, so a failed
    // save leaves the old file as it was. A failure shows "创建文件错误" and returns
    // false. With clearModifiedFlag, a successful save marks the current undo
    // position as the saved one and calls SetModified(false). progress, when given,
    // is told as the lines go out; its false abandons the save silently, the old
    // file untouched.
    bool SaveToFile(const char* path, int mode = -1, bool clearModifiedFlag = true,
                    const FileProgress& progress = {});
    // Records that the text as it stands is what the file holds, for a caller that
    // wrote the file itself (e.g. in another encoding): clears the modified state.
    void MarkSaved();
    // Records that the text as it stands differs from the file at every position of
    // the history (e.g. a text made from an edited document): marks it modified,
    // and no undo or redo clears that.
    void MarkUnsaved();
    // Frees the lines and the undo history; the buffer is empty and uninitialised.
    void FreeAll();

    // ---- Lines ----
    int GetLineCount() const { return static_cast<int>(m_aLines.size()); }
    int GetLineLength(int line) const { return Line(line).Length(); }
    // The line's bytes; not NUL-terminated.
    const char* GetLineChars(int line) const { return Line(line).Chars(); }
    std::uint32_t GetLineFlags(int line) const { return Line(line).Flags(); }
    int GetLineCapacity(int line) const { return Line(line).Capacity(); }
    const TextLine& GetLine(int line) const { return Line(line); }
    // Bytes of the blocks that loaded and inserted lines share; deleted lines give
    // theirs back.
    std::size_t GetSharedStorageSize() const;

    // Inserts a line before `position` (-1: at the end). length -1: up to the NUL.
    // No notification.
    void InsertLine(const char* text, int length = -1, int position = -1);
    // Appends bytes to a line. length -1: up to the NUL. No notification.
    void AppendLine(int line, const char* text, int length = -1);

    // Copies [start, end) into text, lines joined with eol ("\r\n" when null).
    void GetText(int startLine, int startChar, int endLine, int endChar, std::string& text,
                 const char* eol = nullptr) const;

    // ---- Editing ----
    // A line break in inserted text is CR, optionally followed by LF; a lone LF is an
    // ordinary character. endLine/endChar receive the point after the inserted text.
    // Action 0 records nothing and clears the modified flag (setting a fresh text).
    bool InsertText(ITextBufferView* source, int line, int pos, const char* text, int& endLine, int& endChar,
                    int action);
    bool InsertText(ITextBufferView* source, int line, int pos, std::string_view text, int& endLine,
                    int& endChar, int action);
    bool DeleteText(ITextBufferView* source, int startLine, int startChar, int endLine, int endChar, int action);

    // The same changes without undo records.
    bool InternalInsertText(ITextBufferView* source, int line, int pos, const char* text, int& endLine,
                            int& endChar);
    bool InternalInsertText(ITextBufferView* source, int line, int pos, std::string_view text, int& endLine,
                            int& endChar);
    bool InternalDeleteText(ITextBufferView* source, int startLine, int startChar, int endLine, int endChar);

    // ---- Line flags ----
    // flag must be a single bit (otherwise nothing happens). line -1: the first line
    // that has the flag. With removeFromPreviousLine and set, the first line that
    // carries the flag loses it (numbered bookmarks live on one line).
    void SetLineFlag(int line, std::uint32_t flag, bool set, bool removeFromPreviousLine = true);
    int FindLineWithFlag(std::uint32_t flags) const;
    int GetLineWithFlag(std::uint32_t flag) const;
    // The next/previous line with LINEF_BOOKMARK, wrapping around; -1 if none.
    int FindNextBookmarkLine(int current = 0) const;
    int FindPrevBookmarkLine(int current = 0) const;

    // ---- State ----
    // Set by InitNew and LoadFromFile, cleared by FreeAll.
    bool IsInitialized() const { return m_bInit; }
    bool GetReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(bool readOnly = true) { m_bReadOnly = readOnly; }
    bool IsModified() const { return m_bModified; }
    // Every change of the modified state made by the buffer goes through here.
    virtual void SetModified(bool modified = true);
    int GetCRLFMode() const { return m_nCRLFMode; }
    void SetCRLFMode(int mode);

    // ---- Views ----
    void AddView(ITextBufferView* view);
    void RemoveView(ITextBufferView* view);
    void UpdateViews(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line = -1);

    // ---- Undo history ----
    // Opens a group that the following records join. With merge, the next record
    // joins the group of the record before it.
    void BeginUndoGroup(bool mergeWithPrevious = false);
    // Closes the group and reports its last record to the source view.
    void FlushUndoGroup(ITextBufferView* source);
    bool CanUndo() const;
    bool CanRedo() const;
    // Move one group back or forward; cursor receives where the caret belongs.
    // Both raise CTextIndexError when there is nothing to undo or redo, and do
    // nothing and return false on a read-only buffer.
    bool Undo(CPoint& cursor);
    bool Redo(CPoint& cursor);
    // Name of the group to undo (redo) next, walking from pos (0: the undo position).
    // Return the position for the following call; 0 when there is no further group.
    int GetUndoDescription(std::string& text, int pos = 0) const;
    int GetRedoDescription(std::string& text, int pos = 0) const;
    // The name of an action code; false for codes outside 0..10.
    virtual bool GetActionDescription(int action, std::string& text) const;

    int GetUndoRecordCount() const { return static_cast<int>(m_aUndoBuf.size()); }
    const UndoRecord& GetUndoRecord(int index) const;
    int GetUndoPosition() const { return m_nUndoPosition; }
    // Counts every change to the text (edits, undo and redo, loads and
    // replacements): while the count stays, so does the text.
    std::uint64_t GetChangeCount() const { return m_nChangeCount; }

protected:
    void AddUndoRecord(bool insert, const CPoint& start, const CPoint& end, std::string_view text, int action);

private:
    const TextLine& Line(int line) const;
    TextLine& Line(int line);
    void CheckPoint(int line, int pos) const;
    void CheckRange(int startLine, int startChar, int endLine, int endChar) const;

    // Text replacement shared by InitNew and LoadFromFile.
    void ReleaseLines();
    void ClearUndoHistory();
    void ResetState(int mode, bool readOnly);

    // Inserts pieces of text (the first joins `line` at pos, each further one starts
    // a new line) and notifies; the public insertions split their text first.
    bool InsertPieces(ITextBufferView* source, int line, int pos, const std::string_view* pieces,
                      std::size_t count, int& endLine, int& endChar);
    bool InsertSplit(ITextBufferView* source, int line, int pos, std::string_view text, int& endLine,
                     int& endChar);
    // The steps after the lines of an insertion are in place: the views are told
    // and the buffer counts as modified; then the undo record (or, for
    // EA_UNKNOWN, the modified state cleared).
    void NotifyInserted(ITextBufferView* source, const CPoint& start, const CPoint& end, std::uint32_t flags);
    void RecordInsertion(ITextBufferView* source, const CPoint& start, const CPoint& end, std::string_view text,
                         int action);
    bool InsertUndoText(const UndoRecord& record);
    void AddRecord(bool insert, const CPoint& start, const CPoint& end, std::string_view text, int action,
                   std::vector<int> pieceLengths);
    void UpdateModifiedAfterUndo();

    bool m_bInit = false;
    bool m_bReadOnly = false;
    bool m_bModified = false;
    int m_nCRLFMode = EOL_CRLF;
    int m_nUndoBufSize = kUndoLimit;
    LineTable m_aLines;
    bool m_bLinesOwnStorage = false; // some line may hold a block of its own
    std::unique_ptr<LineArena> m_pArena;

    std::deque<UndoRecord> m_aUndoBuf;
    int m_nUndoPosition = 0;
    std::uint64_t m_nChangeCount = 0;
    // Undo position at which the text equals the file; -1 once that state is gone
    // from the history.
    int m_nSyncPosition = 0;
    bool m_bUndoGroup = false;
    bool m_bUndoBeginGroup = false;

    std::vector<ITextBufferView*> m_lpViews;
    int m_nNotifyDepth = 0; // views removed while notifying are nulled, then dropped

    friend class CTextBufferFiller;
};

} // namespace brindle
