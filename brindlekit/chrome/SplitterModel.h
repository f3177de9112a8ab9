#pragma once

#include "platform/Export.h"

#include <vector>

namespace brindle {

// The rules of a static splitter whose columns and rows can be taken out of the
// layout and put back without destroying their panes: pane ids, the stack of
// hidden panes, parked sizes, the active pane and the layout of the visible panes
// and sashes. It draws nothing; the window around it maps pane handles (small
// integers of its choosing) to child windows.
//
// Pane ids: the pane at row r, column c has the id kFirstPaneId + 16·r + c. A
// hidden pane keeps its handle and gets the id of the slot just beyond the
// visible ones at the time it was hidden, so hidden panes form a stack and the
// most recently hidden one is the one a restore brings back; its width is parked
// in that slot's size record.
//
// Indices out of range raise std::out_of_range. Hiding the only visible column
// or row, or restoring when nothing is hidden, does nothing.
class BRINDLEKIT_API SplitterModel {
public:
    static constexpr int kFirstPaneId = 0xE900;
    // A hidden pane's id may name the slot one beyond the last: ids have room
    // for 16 per row.
    static constexpr int kMaxLines = 15;
    static int IdFromRowCol(int row, int col) { return kFirstPaneId + 16 * row + col; }

    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
        bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
        bool operator==(const Rect&) const = default;
    };
    // Where a point lies among the sashes.
    struct SashHit {
        int column = -1; // the sash after this visible column, or -1
        int row = -1;    // the sash below this visible row, or -1
    };

    SplitterModel(int rows, int columns);

    // ---- Panes ----
    // Puts a pane (the caller's handle, >= 0) at a slot of the full grid.
    void SetPane(int row, int column, int pane);
    // The pane whose id is that of the slot, or -1.
    int PaneAt(int row, int column) const;
    int PaneWithId(int id) const;
    int PaneId(int pane) const;
    bool IsPaneVisible(int pane) const;
    // Visible rows and columns.
    int RowCount() const { return m_visibleRows; }
    int ColumnCount() const { return m_visibleColumns; }
    // Created rows and columns, visible or hidden.
    int MaxRowCount() const { return static_cast<int>(m_rows.size()); }
    int MaxColumnCount() const { return static_cast<int>(m_columns.size()); }

    // ---- Sizes ----
    void SetColumnInfo(int column, int ideal, int minimum);
    void SetRowInfo(int row, int ideal, int minimum);
    int ColumnIdeal(int column) const { return Info(m_columns, column).ideal; }
    int ColumnCurrent(int column) const { return Info(m_columns, column).current; }
    int ColumnMinimum(int column) const { return Info(m_columns, column).minimum; }
    int RowIdeal(int row) const { return Info(m_rows, row).ideal; }
    int RowCurrent(int row) const { return Info(m_rows, row).current; }
    int RowMinimum(int row) const { return Info(m_rows, row).minimum; }

    // ---- Active pane ----
    void SetActivePane(int row, int column);
    // The active pane's handle, or -1.
    int ActivePane() const { return m_activePane; }
    // Its visible row and column; false when there is none.
    bool GetActivePane(int& row, int& column) const;

    // ---- Hiding and showing ----
    void HideColumn(int column);
    void RestoreColumn(int position);
    // Brings back the last hidden column where it was, keeping the hidden count.
    void ShowColumn();
    void HideRow(int row);
    void ShowRow();
    // Puts `pane` in the slot in place of the pane there, which becomes hidden;
    // the two exchange ids. false when `pane` is already there.
    bool SwitchView(int row, int column, int pane);
    int HiddenColumn() const { return m_hiddenColumn; }
    int HiddenRow() const { return m_hiddenRow; }
    int HiddenColumnCount() const { return m_hiddenColumnCount; }

    // ---- Layout ----
    // Places the visible panes in a client area of this size: every column but
    // the last gets its ideal width (none when that is below its minimum), the
    // last takes what is left; rows likewise. Sashes lie between.
    void Layout(int width, int height);
    Rect PaneRect(int row, int column) const;
    Rect ColumnSashRect(int column) const;
    Rect RowSashRect(int row) const;
    SashHit HitTestSash(int x, int y) const;
    // A sash dragged to a position (client coordinates): the column (row) before
    // it takes the width (height) up to there as its ideal size.
    void MoveColumnSash(int column, int x);
    void MoveRowSash(int row, int y);
    static constexpr int kSashWidth = 5;

private:
    struct SizeInfo {
        int minimum = 0;
        int ideal = 0;
        int current = 0;
    };
    struct Pane {
        int id = 0;
        bool visible = true;
    };

    static const SizeInfo& Info(const std::vector<SizeInfo>& infos, int index);
    static void LayoutRowCol(std::vector<SizeInfo>& infos, int count, int size);
    Pane& PaneRef(int pane);
    const Pane& PaneRef(int pane) const;
    void CheckSlot(int row, int column) const;
    // Hides visible line `index` (a column, or a row) and the restore that
    // undoes it; the two axes share the rules.
    void HideLine(bool columns, int index);
    void RestoreLine(bool columns, int position);
    int SlotId(bool columns, int major, int index) const;
    void MoveSash(bool columns, int index, int position);

    std::vector<SizeInfo> m_rows;
    std::vector<SizeInfo> m_columns;
    std::vector<Pane> m_panes; // by handle
    int m_visibleRows;
    int m_visibleColumns;
    int m_activePane = -1;
    int m_hiddenColumn = -1;
    int m_hiddenRow = -1;
    int m_hiddenColumnCount = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace brindle
