#include "brindlekit/chrome/SplitterModel.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>

namespace brindle {

SplitterModel::SplitterModel(int rows, int columns)
{
    if (rows < 1 || columns < 1 || rows > kMaxLines || columns > kMaxLines)
        throw std::out_of_range("a splitter has 1 to 15 rows and columns");
    m_rows.resize(static_cast<size_t>(rows));
    m_columns.resize(static_cast<size_t>(columns));
    m_visibleRows = rows;
    m_visibleColumns = columns;
}

// ---- Panes -----------------------------------------------------------------------

void SplitterModel::CheckSlot(int row, int column) const
{
    if (row < 0 || row >= MaxRowCount() || column < 0 || column >= MaxColumnCount())
        throw std::out_of_range("no pane slot " + std::to_string(row) + "," + std::to_string(column));
}

void SplitterModel::SetPane(int row, int column, int pane)
{
    CheckSlot(row, column);
    if (pane < 0) throw std::out_of_range("pane handles are not negative");
    if (static_cast<size_t>(pane) >= m_panes.size()) m_panes.resize(static_cast<size_t>(pane) + 1, Pane{-1, false});
    m_panes[static_cast<size_t>(pane)] = Pane{IdFromRowCol(row, column), true};
}

SplitterModel::Pane& SplitterModel::PaneRef(int pane)
{
    if (pane < 0 || static_cast<size_t>(pane) >= m_panes.size() || m_panes[static_cast<size_t>(pane)].id < 0)
        throw std::out_of_range("no pane " + std::to_string(pane));
    return m_panes[static_cast<size_t>(pane)];
}

const SplitterModel::Pane& SplitterModel::PaneRef(int pane) const
{
    return const_cast<SplitterModel*>(this)->PaneRef(pane);
}

int SplitterModel::PaneWithId(int id) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == id) return static_cast<int>(i);
    return -1;
}

int SplitterModel::PaneAt(int row, int column) const
{
    CheckSlot(row, column);
    return PaneWithId(IdFromRowCol(row, column));
}

int SplitterModel::PaneId(int pane) const { return PaneRef(pane).id; }

bool SplitterModel::IsPaneVisible(int pane) const { return PaneRef(pane).visible; }

// ---- Sizes -----------------------------------------------------------------------

const SplitterModel::SizeInfo& SplitterModel::Info(const std::vector<SizeInfo>& infos, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= infos.size())
        throw std::out_of_range("no row or column " + std::to_string(index));
    return infos[static_cast<size_t>(index)];
}

void SplitterModel::SetColumnInfo(int column, int ideal, int minimum)
{
    auto& info = const_cast<SizeInfo&>(Info(m_columns, column));
    info.ideal = std::max(0, ideal);
    info.minimum = std::max(0, minimum);
}

void SplitterModel::SetRowInfo(int row, int ideal, int minimum)
{
    auto& info = const_cast<SizeInfo&>(Info(m_rows, row));
    info.ideal = std::max(0, ideal);
    info.minimum = std::max(0, minimum);
}

// ---- Active pane -----------------------------------------------------------------

void SplitterModel::SetActivePane(int row, int column)
{
    CheckSlot(row, column);
    m_activePane = PaneAt(row, column);
}

bool SplitterModel::GetActivePane(int& row, int& column) const
{
    if (m_activePane < 0 || !IsPaneVisible(m_activePane)) return false;
    const int offset = PaneId(m_activePane) - kFirstPaneId;
    row = offset / 16;
    column = offset % 16;
    return true;
}

// ---- Hiding and showing ----------------------------------------------------------

int SplitterModel::SlotId(bool columns, int major, int index) const
{
    return columns ? IdFromRowCol(major, index) : IdFromRowCol(index, major);
}

void SplitterModel::HideLine(bool columns, int index)
{
    int& visible = columns ? m_visibleColumns : m_visibleRows;
    const int across = columns ? m_visibleRows : m_visibleColumns;
    std::vector<SizeInfo>& infos = columns ? m_columns : m_rows;
    const int n = visible;
    if (index < 0 || index >= n) throw std::out_of_range("no visible row or column " + std::to_string(index));
    if (n <= 1) return; // the last visible one stays
    (columns ? m_hiddenColumn : m_hiddenRow) = index;

    // The active pane moves to the next line, or to the first from the last.
    int activeRow = 0, activeColumn = 0;
    if (GetActivePane(activeRow, activeColumn) && (columns ? activeColumn : activeRow) == index) {
        const int next = index + 1 < n ? index + 1 : 0;
        m_activePane = PaneWithId(columns ? IdFromRowCol(activeRow, next) : IdFromRowCol(next, activeColumn));
    }

    for (int major = 0; major < across; ++major) {
        const int hidden = PaneWithId(SlotId(columns, major, index));
        for (int j = index + 1; j < n; ++j) {
            const int moving = PaneWithId(SlotId(columns, major, j));
            if (moving >= 0) PaneRef(moving).id = SlotId(columns, major, j - 1);
        }
        if (hidden >= 0) PaneRef(hidden) = Pane{SlotId(columns, major, n), false};
    }
    // The width is parked just beyond the visible lines. Before the first layout
    // the ideal width is all there is.
    const SizeInfo& gone = infos[static_cast<size_t>(index)];
    const int parked = gone.current > 0 ? gone.current : gone.ideal;
    infos[static_cast<size_t>(n - 1)].current = parked;
    infos[static_cast<size_t>(n - 1)].ideal = parked;
    visible = n - 1;
    if (columns) ++m_hiddenColumnCount;
    Layout(m_width, m_height);
}

void SplitterModel::RestoreLine(bool columns, int position)
{
    int& visible = columns ? m_visibleColumns : m_visibleRows;
    const int across = columns ? m_visibleRows : m_visibleColumns;
    std::vector<SizeInfo>& infos = columns ? m_columns : m_rows;
    const int n = visible;
    if (n >= static_cast<int>(infos.size())) return; // nothing hidden
    position = std::clamp(position, 0, n);

    const int parked = infos[static_cast<size_t>(n)].current;
    (columns ? m_hiddenColumn : m_hiddenRow) = -1;
    visible = n + 1;
    for (int major = 0; major < across; ++major) {
        // The most recently hidden pane got the id of the slot beyond the
        // visible ones at that time.
        const int restored = PaneWithId(SlotId(columns, major, n + 1));
        for (int j = n - 1; j >= position; --j) {
            const int moving = PaneWithId(SlotId(columns, major, j));
            if (moving >= 0) PaneRef(moving).id = SlotId(columns, major, j + 1);
        }
        if (restored >= 0) PaneRef(restored) = Pane{SlotId(columns, major, position), true};
    }
    // The widths move right with their lines.
    for (int j = n; j > position; --j) infos[static_cast<size_t>(j)].ideal = infos[static_cast<size_t>(j - 1)].current;
    infos[static_cast<size_t>(position)].ideal = parked;
    Layout(m_width, m_height);
}

void SplitterModel::HideColumn(int column) { HideLine(true, column); }

void SplitterModel::RestoreColumn(int position)
{
    const int before = m_visibleColumns;
    RestoreLine(true, position);
    if (m_visibleColumns != before) --m_hiddenColumnCount;
}

void SplitterModel::ShowColumn()
{
    if (m_hiddenColumn < 0) return;
    RestoreLine(true, m_hiddenColumn);
}

void SplitterModel::HideRow(int row) { HideLine(false, row); }

void SplitterModel::ShowRow()
{
    if (m_hiddenRow < 0) return;
    RestoreLine(false, m_hiddenRow);
}

bool SplitterModel::SwitchView(int row, int column, int pane)
{
    CheckSlot(row, column);
    const int old = PaneAt(row, column);
    if (old == pane) return false;
    if (pane < 0) throw std::out_of_range("pane handles are not negative");
    if (static_cast<size_t>(pane) >= m_panes.size()) m_panes.resize(static_cast<size_t>(pane) + 1, Pane{-1, false});
    Pane& incoming = m_panes[static_cast<size_t>(pane)];
    // A pane new to the splitter comes from outside every slot, and the old
    // one goes there.
    const int incomingId = incoming.id >= 0 ? incoming.id : kFirstPaneId - 1;
    incoming = Pane{IdFromRowCol(row, column), true};
    if (old >= 0) {
        m_panes[static_cast<size_t>(old)] = Pane{incomingId, false};
        if (m_activePane == old) m_activePane = pane;
    }
    Layout(m_width, m_height);
    return true;
}

// ---- Layout ------------------------------------------------------------------------

void SplitterModel::LayoutRowCol(std::vector<SizeInfo>& infos, int count, int size)
{
    int left = std::max(0, size - (count - 1) * kSashWidth);
    for (int i = 0; i < count; ++i) {
        SizeInfo& info = infos[static_cast<size_t>(i)];
        int want = i == count - 1 ? INT_MAX : (info.ideal < info.minimum ? 0 : info.ideal);
        // A line that does not fit at its minimum is not shown; the first gets
        // what there is.
        if (left == 0 || (left < info.minimum && i != 0)) want = 0;
        info.current = std::min(want, left);
        left -= info.current;
    }
}

void SplitterModel::Layout(int width, int height)
{
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    LayoutRowCol(m_columns, m_visibleColumns, m_width);
    LayoutRowCol(m_rows, m_visibleRows, m_height);
}

SplitterModel::Rect SplitterModel::PaneRect(int row, int column) const
{
    if (row < 0 || row >= m_visibleRows || column < 0 || column >= m_visibleColumns)
        throw std::out_of_range("no visible pane " + std::to_string(row) + "," + std::to_string(column));
    Rect rect;
    for (int c = 0; c < column; ++c) rect.x += m_columns[static_cast<size_t>(c)].current + kSashWidth;
    for (int r = 0; r < row; ++r) rect.y += m_rows[static_cast<size_t>(r)].current + kSashWidth;
    rect.width = m_columns[static_cast<size_t>(column)].current;
    rect.height = m_rows[static_cast<size_t>(row)].current;
    return rect;
}

SplitterModel::Rect SplitterModel::ColumnSashRect(int column) const
{
    if (column < 0 || column >= m_visibleColumns - 1) return {};
    const Rect pane = PaneRect(0, column);
    return Rect{pane.x + pane.width, 0, kSashWidth, m_height};
}

SplitterModel::Rect SplitterModel::RowSashRect(int row) const
{
    if (row < 0 || row >= m_visibleRows - 1) return {};
    const Rect pane = PaneRect(row, 0);
    return Rect{0, pane.y + pane.height, m_width, kSashWidth};
}

SplitterModel::SashHit SplitterModel::HitTestSash(int x, int y) const
{
    SashHit hit;
    for (int c = 0; c + 1 < m_visibleColumns; ++c)
        if (ColumnSashRect(c).Contains(x, y)) hit.column = c;
    for (int r = 0; r + 1 < m_visibleRows; ++r)
        if (RowSashRect(r).Contains(x, y)) hit.row = r;
    return hit;
}

void SplitterModel::MoveSash(bool columns, int index, int position)
{
    std::vector<SizeInfo>& infos = columns ? m_columns : m_rows;
    const int visible = columns ? m_visibleColumns : m_visibleRows;
    if (index < 0 || index >= visible - 1) return;
    const Rect pane = columns ? PaneRect(0, index) : PaneRect(index, 0);
    const int size = std::max(0, position - (columns ? pane.x : pane.y));
    SizeInfo& info = infos[static_cast<size_t>(index)];
    // The line after the sash gives up what this one gains, unless it is the
    // last, which takes whatever is left anyway.
    if (index + 1 < visible - 1) {
        SizeInfo& next = infos[static_cast<size_t>(index + 1)];
        next.ideal = std::max(0, next.current - (size - info.current));
    }
    info.ideal = size;
    Layout(m_width, m_height);
}

void SplitterModel::MoveColumnSash(int column, int x) { MoveSash(true, column, x); }

void SplitterModel::MoveRowSash(int row, int y) { MoveSash(false, row, y); }

} // namespace brindle
