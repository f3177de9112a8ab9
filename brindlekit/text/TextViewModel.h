#pragma once

#include "brindlekit/text/FoldModel.h"
#include "brindlekit/text/Gutter.h"
#include "brindlekit/text/LineValues.h"
#include "brindlekit/text/Point.h"
#include "brindlekit/text/TextBufferView.h"
#include "brindlekit/text/TextViewHost.h"
#include "platform/Export.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

class CTextBuffer;
class IClipboard;

// Search flag bits.
constexpr std::uint32_t FIND_MATCH_CASE = 0x01;
constexpr std::uint32_t FIND_WHOLE_WORD = 0x02;
constexpr std::uint32_t FIND_DIRECTION_UP = 0x10;

// A status-bar pane as a view reports it.
struct StatusIndicator {
    std::string text;
    bool enabled = false;
};

// What a mouse event asks the window to do next.
enum class MouseResult { None, StartDrag };

// The state and rules of a read-only text view: positions and tab arithmetic, the
// cursor, anchor and selection, movement commands, mouse selection, scrolling,
// bookmarks, status indicators and the reaction to buffer changes. It draws nothing;
// the window that owns it supplies the metrics (line height, character width, client
// size) and receives repaint and caret requests through ITextViewHost.
class BRINDLEKIT_API TextViewModel : public ITextBufferView {
public:
    static constexpr int kMarginWidth = 20;
    static constexpr int kDefaultTabSize = 4;

    TextViewModel();
    ~TextViewModel() override;
    TextViewModel(const TextViewModel&) = delete;
    TextViewModel& operator=(const TextViewModel&) = delete;

    void SetHost(ITextViewHost* host) { m_pHost = host ? host : &s_nullHost; }
    ITextViewHost& Host() const { return *m_pHost; }

    // ---- Buffer binding ----
    // Detaches from the previous buffer and attaches to `buffer` (null: the host's
    // LocateTextBuffer), then resets the view.
    void AttachToBuffer(CTextBuffer* buffer = nullptr);
    void DetachFromBuffer();
    CTextBuffer* GetBuffer() const { return m_pTextBuffer; }
    virtual void ResetView();
    void UpdateView(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line) override;

    // ---- Buffer access (one empty line without a buffer) ----
    int GetLineCount() const;
    int GetLineLength(int line) const;
    const char* GetLineChars(int line) const;
    std::string_view GetLineText(int line) const;
    std::uint32_t GetLineFlags(int line) const;
    // Lines joined with "\r\n".
    void GetText(const CPoint& start, const CPoint& end, std::string& text) const;

    // ---- Metrics (set by the window) ----
    void SetCharMetrics(int lineHeight, int charWidth);
    void SetClientSize(int width, int height);
    int GetClientWidth() const { return m_nClientWidth; }
    int GetClientHeight() const { return m_nClientHeight; }
    int GetLineHeight() const { return m_nLineHeight; }
    int GetCharWidth() const { return m_nCharWidth; }
    int GetScreenLines() const;
    int GetScreenChars() const;
    // Everything left of the text: selection margin, line numbers, fold markers.
    int GetMarginWidth() const { return m_gutter.Width(); }
    const GutterLayout& GetGutter() const { return m_gutter; }

    int GetTabSize() const { return m_nTabSize; }
    void SetTabSize(int tabSize);
    bool GetViewTabs() const { return m_bViewTabs; }
    void SetViewTabs(bool viewTabs);
    bool GetSelectionMargin() const { return m_bSelMargin; }
    void SetSelectionMargin(bool selMargin);
    // Line numbers in the gutter (off unless the program turns them on).
    bool GetShowLineNumbers() const { return m_bLineNumbers; }
    void SetShowLineNumbers(bool show);
    bool GetSmoothScroll() const { return m_bSmoothScroll; }
    void SetSmoothScroll(bool smooth) { m_bSmoothScroll = smooth; }
    bool GetDisableDragAndDrop() const { return m_bDisableDragAndDrop; }
    void SetDisableDragAndDrop(bool disable) { m_bDisableDragAndDrop = disable; }

    // ---- Geometry ----
    int GetLineActualLength(int line);
    int CalculateActualOffset(int line, int charIndex) const;
    int ApproxActualOffset(int line, int column) const;
    int GetMaxLineLength();
    CPoint ClientToText(const CPoint& point) const;
    // The index of the first byte of the UTF-8 character that holds byte `x`.
    int SnapToCharStart(int line, int x) const;
    // The index after the character at x, and before the one ending at x.
    int NextCharIndex(int line, int x) const;
    int PrevCharIndex(int line, int x) const;
    CPoint TextToClient(const CPoint& point) const;
    void AdjustTextPoint(CPoint& point) const { point.x += m_nCharWidth / 2; }
    int GetTopLine() const { return m_nTopLine; }
    int GetOffsetChar() const { return m_nOffsetChar; }

    // ---- Folding ----
    // Fold markers in the gutter and the fold commands (off unless the program turns
    // them on); turning it off opens every fold.
    bool GetFolding() const { return m_bFolding; }
    void SetFolding(bool folding);
    const FoldModel& Folds() const { return m_folds; }
    // The last line of the range that opens on `line` (-1: none); the host finds it
    // once, until an edit may change it.
    int FoldEndAt(int line);
    enum class FoldMarker { None, Open, Folded };
    // The marker of a line. Without search, a line whose range is not known yet
    // has none for now and is kept for ResolvePendingFolds: a paint never waits
    // for the search of a long range.
    FoldMarker GetFoldMarker(int line, bool search = true);
    bool HasPendingFolds() const { return !m_pendingFolds.empty(); }
    // Finds the ranges of the lines that were shown without a marker for want
    // of a search; whether any has one (the margin is to be drawn again).
    bool ResolvePendingFolds();
    // Folds the range that opens on the line, or unfolds it; the caret moves out of
    // what gets hidden. A range that would hide a marked line (an error's, a
    // bookmark's) stays open.
    void ToggleFold(int line);
    // Folds every range of the text (the host lists them) but those that would
    // hide a marked line / opens every fold.
    void FoldAll();
    void UnfoldAll();
    // Lines the window shows: the document line in a screen row (-1 below the
    // text), the row of a line (a hidden line's is its fold's), the visible count.
    int LineAtRow(int row) const;
    int RowOfLine(int line) const;
    int GetVisibleLineCount() const { return GetLineCount() - m_folds.HiddenLineCount(); }
    int ToVisible(int line) const { return m_folds.ToVisible(line); }
    int ToLine(int visible) const { return m_folds.ToLine(visible); }

    // ---- Parse states ----
    // The parser's state at the end of `line` (0 before line 0), computing the states
    // of the lines before it that are not known yet.
    std::uint32_t GetParseCookie(int line);
    // Stores the state a drawing pass computed for `line` after GetParseCookie(line-1).
    void StoreParseCookie(int line, std::uint32_t cookie);
    // Lines whose state is known, counted from line 0.
    int GetParsedLineCount() const { return m_nParsedLines; }
    // The colouring changed its rules: every line's state is computed again.
    void ForgetParseStates() { ForgetParseStatesFrom(0); }

    // ---- Cursor and selection ----
    CPoint GetCursorPos() const { return m_ptCursorPos; }
    void SetCursorPos(const CPoint& pos);
    CPoint GetAnchor() const { return m_ptAnchor; }
    void SetAnchor(const CPoint& pos) { m_ptAnchor = pos; }
    int GetIdealCharPos() const { return m_nIdealCharPos; }
    void GetSelection(CPoint& start, CPoint& end) const;
    void SetSelection(const CPoint& start, const CPoint& end);
    bool IsSelection() const { return !(m_ptSelStart == m_ptSelEnd); }
    bool IsInsideSelection(const CPoint& pos) const;
    bool IsInsideSelBlock(const CPoint& pos) const;
    void SelectAll();
    void HighlightText(const CPoint& pos, int length);
    void EnsureVisible(const CPoint& pos);
    void MoveToPos(int line, int charIndex);
    // The common ending of an edit: cursor, anchor and an empty selection at pos.
    void CollapseTo(const CPoint& pos);
    void ShowCursor() { m_bCursorHidden = false; m_pHost->UpdateCaret(); }
    void HideCursor() { m_bCursorHidden = true; m_pHost->UpdateCaret(); }
    bool IsCursorHidden() const { return m_bCursorHidden; }
    // Whether the caret belongs on screen (focus is the window's business).
    bool IsCaretVisible() const;
    // Whether the selection is drawn in a window without focus (a search dialog is open).
    bool GetShowInactiveSelection() const { return m_bShowInactiveSelection; }
    void SetShowInactiveSelection(bool show);

    // ---- Movement ----
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveWordLeft(bool extend);
    void MoveWordRight(bool extend);
    void MoveUp(bool extend);
    void MoveDown(bool extend);
    void MovePgUp(bool extend);
    void MovePgDn(bool extend);
    void MoveHome(bool extend);
    void MoveEnd(bool extend);
    void MoveCtrlHome(bool extend);
    void MoveCtrlEnd(bool extend);
    void ScrollUp();
    void ScrollDown();
    // Start and end of the word around pos (word characters only).
    CPoint WordToLeft(CPoint pos) const;
    CPoint WordToRight(CPoint pos) const;

    // ---- Scrolling ----
    void ScrollToLine(int newTop, bool noSmoothScroll = false);
    void ScrollToChar(int newOffset);
    enum ScrollCode { SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_TOP, SB_BOTTOM, SB_THUMBTRACK };
    void OnVScroll(ScrollCode code, int trackPos);
    void OnHScroll(ScrollCode code, int trackPos);
    void OnMouseWheel(int delta, bool shift, bool ctrl);

    // ---- Mouse (client coordinates) ----
    MouseResult OnLButtonDown(CPoint point, bool shift, bool ctrl);
    MouseResult OnMouseMove(CPoint point);
    void OnLButtonUp(CPoint point);
    void OnLButtonDblClk(CPoint point);
    void OnRButtonDown(CPoint point);
    // The auto-scroll timer fired with the pointer at `point`.
    void OnTimer(CPoint point);
    // Focus went away: mouse tracking ends.
    void OnKillFocus();
    bool IsMouseTracking() const { return m_bDragSelection; }
    bool IsPreparingToDrag() const { return m_bPreparingToDrag; }
    enum class PointerShape { Margin, Arrow, IBeam };
    PointerShape GetPointerShape(CPoint point) const;

    // ---- Dragging text out of the view ----
    // The selected text (with "\r\n" joints); remembers the dragged range.
    std::string PrepareDragData();
    // Opens an undo group and marks the view as the drag source.
    void BeginDragText();
    // Called with whether the drop moved the text; clears the mark, closes the group.
    void EndDragText(bool moved);
    bool IsDraggingText() const { return m_bDraggingText; }
    void GetDraggedRange(CPoint& begin, CPoint& end) const { begin = m_ptDraggedTextBegin; end = m_ptDraggedTextEnd; }
    // The drop that ended a drag of this view's text moved it: the edit view deletes
    // the dragged range; a read-only view only allows copying.
    virtual void OnDropSource(bool moved);
    virtual bool CanDropMove() const { return false; }

    // ---- Bookmarks ----
    void OnToggleBookmark(int number);
    void OnGoBookmark(int number);
    void OnClearBookmarks();
    void OnToggleBookmark();
    void OnNextBookmark();
    void OnPrevBookmark();
    void OnClearAllBookmarks();
    bool HasBookmarks() const { return m_bBookmarkExist; }

    // ---- Clipboard ----
    // The clipboard in use (not owned); none means nothing is ever copied or pasted.
    // The clipboard the view uses (not owned); nullptr means the installed one.
    void SetClipboard(IClipboard* clipboard) { m_pClipboard = clipboard; }
    IClipboard& GetClipboard() const;
    bool TextInClipboard() const;
    // Stores the text; nothing for an empty text. Returns whether it was stored.
    bool PutToClipboard(const std::string& text);
    bool GetFromClipboard(std::string& text) const;
    void Copy();

    // ---- Commands by id ----
    // Runs a command of the views; false when the id is not one of this view's.
    virtual bool ExecuteCommand(int id);
    // Whether a command is enabled; `handled` false when the id is not this view's.
    virtual bool IsCommandEnabled(int id, bool& handled) const;
    // Whether a command's menu item carries a check mark.
    virtual bool IsCommandChecked(int id) const;

    // ---- Status panes ----
    virtual StatusIndicator GetIndicator(int paneId) const;

    // ---- Search ----
    bool FindTextInBlock(std::string_view what, const CPoint& start, const CPoint& blockBegin,
                         const CPoint& blockEnd, std::uint32_t flags, bool wrap, CPoint* found) const;
    bool FindText(std::string_view what, const CPoint& start, std::uint32_t flags, bool wrap, CPoint* found) const;
    bool HasLastSearch() const { return m_bLastSearch; }
    const std::string& GetLastFindWhat() const { return m_strLastFindWhat; }
    std::uint32_t GetLastSearchFlags() const { return m_dwLastSearchFlags; }
    void SetLastSearch(const std::string& what, std::uint32_t flags);
    // Find Next and Find Previous; they show "Cannot find string" when nothing is found.
    void OnEditRepeat();
    void OnEditFindPrevious();

protected:
    // The line's expanded length if measured since it last changed, else -1.
    int ActualLengthCached(int line) const;
    // The run of states far past the known ones (see m_nIslandStart).
    bool IslandReaches(int line) const;
    std::uint32_t IslandCookie(int line);
    // States from the line on may have changed.
    void ForgetParseStatesFrom(int line);
    // The state at the end of the first line whose state was not known.
    void SetKnownParseCookie(int line, std::uint32_t cookie);
    CPoint LastTextPos() const;
    CPoint NextLineStart(int line) const;
    void InvalidateLineRange(int first, int last);
    // Lays out the gutter again; when its width changed the window repaints and the
    // text area's width changes with it.
    void UpdateGutter();
    // The visible line `rows` visible lines from `line`, kept within the text.
    int StepLine(int line, int rows) const;
    // After folds changed: the caret and top line leave hidden lines, the window
    // repaints and the scroll range follows.
    void FoldsChanged();
    // The plain/extending ending of a movement command.
    void FinishMove(bool extend, bool setIdeal);
    void UpdateCaret() { m_pHost->UpdateCaret(); }
    void RecalcVertScrollBar() { m_pHost->RecalcVertScrollBar(); }
    void RecalcHorzScrollBar() { m_pHost->RecalcHorzScrollBar(); }
    void UpdateBookmarkExist();
    void GoToLineStart(int line);
    void UpdateDragSelection(CPoint point);
    void SelectWords(const CPoint& anchor, const CPoint& cursor);
    bool SearchRepeat(std::uint32_t flags);

    static ITextViewHost s_nullHost;
    ITextViewHost* m_pHost = &s_nullHost;
    CTextBuffer* m_pTextBuffer = nullptr;

    // Metrics.
    int m_nLineHeight = -1;
    int m_nCharWidth = -1;
    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    int m_nTabSize = kDefaultTabSize;
    bool m_bViewTabs = false;
    bool m_bSelMargin = true;
    bool m_bLineNumbers = false;
    bool m_bFolding = false;
    FoldModel m_folds;
    std::vector<int> m_pendingFolds; // lines shown before their range was searched
    GutterLayout m_gutter = GutterLayout::Compute(true, false, false, 1, 1, 1);
    bool m_bSmoothScroll = false;
    bool m_bDisableDragAndDrop = false;

    // Caches.
    // Expanded lengths (kUnknownLength when not measured) and colouring states.
    static constexpr std::uint32_t kUnknownLength = 0xFFFFFFFFu;
    LineValues m_aActualLineLength{kUnknownLength};
    LineValues m_aParseCookies{0};
    int m_nParsedLines = 0; // cookies [0, m_nParsedLines) are valid
    // After a change within one line, the cookies up to here are those from
    // before it: valid again from the first line whose state comes out the same.
    int m_nStaleParsedEnd = 0;
    // States asked for far past the known ones: walking every line before would
    // take seconds on millions of lines, so a run of states starts kResyncLines
    // before, from a text's first state. A construct longer than that (a comment
    // over thousands of lines) may be coloured as if it were not there.
    static constexpr int kFarLines = 100000;
    static constexpr int kResyncLines = 2000;
    int m_nIslandStart = -1; // the first line of that run, -1 for none
    std::vector<std::uint32_t> m_aIslandCookies;
    int m_nMaxLineLength = -1;
    int m_nMaxLine = -1; // a line that is m_nMaxLineLength long, -1 when not known

    // Position and selection.
    int m_nTopLine = 0;
    int m_nOffsetChar = 0;
    CPoint m_ptCursorPos;
    CPoint m_ptAnchor;
    CPoint m_ptSelStart;
    CPoint m_ptSelEnd;
    int m_nIdealCharPos = -1;
    bool m_bCursorHidden = false;
    bool m_bShowInactiveSelection = false;
    bool m_bVertScrollBarLocked = false;
    bool m_bHorzScrollBarLocked = false;

    // Mouse.
    bool m_bDragSelection = false;
    bool m_bWordSelection = false;
    bool m_bLineSelection = false;
    bool m_bPreparingToDrag = false;
    bool m_bDraggingText = false;
    CPoint m_ptDraggedTextBegin;
    CPoint m_ptDraggedTextEnd;
    CPoint m_ptDragStart; // text position of a pending drag click

    // Search.
    bool m_bLastSearch = false;
    std::string m_strLastFindWhat;
    std::uint32_t m_dwLastSearchFlags = 0;

    bool m_bBookmarkExist = false;
    IClipboard* m_pClipboard = nullptr;
};

} // namespace brindle
