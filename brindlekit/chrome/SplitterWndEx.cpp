#include "brindlekit/chrome/SplitterWndEx.h"

#include <wx/dcclient.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include <algorithm>

namespace brindle {

CSplitterWndEx::CSplitterWndEx(wxWindow* parent, int rows, int columns, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE | wxCLIP_CHILDREN),
      m_model(rows, columns)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_SIZE, &CSplitterWndEx::OnSize, this);
    Bind(wxEVT_PAINT, &CSplitterWndEx::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CSplitterWndEx::OnMouseDown, this);
    Bind(wxEVT_MOTION, &CSplitterWndEx::OnMouseMotion, this);
    Bind(wxEVT_LEFT_UP, &CSplitterWndEx::OnMouseUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CSplitterWndEx::OnCaptureLost, this);
    Bind(wxEVT_CHILD_FOCUS, &CSplitterWndEx::OnChildFocus, this);
}

CSplitterWndEx::~CSplitterWndEx() = default;

// ---- Panes -------------------------------------------------------------------------

int CSplitterWndEx::HandleOf(wxWindow* window) const
{
    const auto it = std::find(m_windows.begin(), m_windows.end(), window);
    return it == m_windows.end() || !window ? -1 : static_cast<int>(it - m_windows.begin());
}

int CSplitterWndEx::AddWindow(wxWindow* window)
{
    const int known = HandleOf(window);
    if (known >= 0) return known;
    m_windows.push_back(window);
    return static_cast<int>(m_windows.size()) - 1;
}

wxWindow* CSplitterWndEx::WindowOf(int pane) const
{
    return pane >= 0 && static_cast<size_t>(pane) < m_windows.size() ? m_windows[static_cast<size_t>(pane)] : nullptr;
}

void CSplitterWndEx::SetPane(int row, int column, wxWindow* pane, const wxSize& idealSize)
{
    wxCHECK_RET(pane && pane->GetParent() == this, "a pane is a child of its splitter");
    m_model.SetPane(row, column, AddWindow(pane));
    if (idealSize.x >= 0) m_model.SetColumnInfo(column, idealSize.x, m_model.ColumnMinimum(column));
    if (idealSize.y >= 0) m_model.SetRowInfo(row, idealSize.y, m_model.RowMinimum(row));
    Apply(false);
}

wxWindow* CSplitterWndEx::GetPane(int row, int column) const { return WindowOf(m_model.PaneAt(row, column)); }

bool CSplitterWndEx::IsPaneVisible(wxWindow* pane) const
{
    const int handle = HandleOf(pane);
    return handle >= 0 && m_model.IsPaneVisible(handle);
}

void CSplitterWndEx::GetColumnInfo(int column, int& current, int& minimum) const
{
    current = m_model.ColumnCurrent(column);
    minimum = m_model.ColumnMinimum(column);
}

void CSplitterWndEx::GetRowInfo(int row, int& current, int& minimum) const
{
    current = m_model.RowCurrent(row);
    minimum = m_model.RowMinimum(row);
}

// ---- Active pane -------------------------------------------------------------------

void CSplitterWndEx::SetActivePane(int row, int column)
{
    m_model.SetActivePane(row, column);
    if (wxWindow* pane = GetPane(row, column)) pane->SetFocus();
}

wxWindow* CSplitterWndEx::GetActivePane(int* row, int* column) const
{
    int r = -1, c = -1;
    if (!m_model.GetActivePane(r, c)) return nullptr;
    if (row) *row = r;
    if (column) *column = c;
    return WindowOf(m_model.ActivePane());
}

void CSplitterWndEx::OnChildFocus(wxChildFocusEvent& event)
{
    // The pane is the splitter's own child that holds the focused window.
    wxWindow* window = event.GetWindow();
    while (window && window->GetParent() != this) window = window->GetParent();
    const int handle = HandleOf(window);
    if (handle >= 0 && m_model.IsPaneVisible(handle)) {
        const int offset = m_model.PaneId(handle) - SplitterModel::kFirstPaneId;
        m_model.SetActivePane(offset / 16, offset % 16);
    }
    event.Skip();
}

// ---- Hiding and showing --------------------------------------------------------------

namespace {

// Whether the focus is in the window or one of its descendants.
bool HasFocusWithin(const wxWindow* window)
{
    for (const wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent())
        if (w == window) return true;
    return false;
}

} // namespace

void CSplitterWndEx::HideColumn(int column)
{
    wxWindow* active = GetActivePane();
    const bool focused = active && HasFocusWithin(active);
    m_model.HideColumn(column);
    Apply(focused && GetActivePane() != active);
}

void CSplitterWndEx::RestoreColumn(int position)
{
    m_model.RestoreColumn(position);
    Apply(false);
}

void CSplitterWndEx::ShowColumn()
{
    m_model.ShowColumn();
    Apply(false);
}

void CSplitterWndEx::HideRow(int row)
{
    wxWindow* active = GetActivePane();
    const bool focused = active && HasFocusWithin(active);
    m_model.HideRow(row);
    Apply(focused && GetActivePane() != active);
}

void CSplitterWndEx::ShowRow()
{
    m_model.ShowRow();
    Apply(false);
}

bool CSplitterWndEx::SwitchView(int row, int column, wxWindow* view)
{
    wxCHECK_MSG(view && view->GetParent() == this, false, "a view is a child of its splitter");
    if (!m_model.SwitchView(row, column, AddWindow(view))) return false;
    Apply(false);
    return true;
}

// ---- Layout and painting -------------------------------------------------------------

void CSplitterWndEx::RecalcLayout() { Apply(false); }

void CSplitterWndEx::Apply(bool focusActive)
{
    const wxSize size = GetClientSize();
    m_model.Layout(size.x, size.y);
    for (size_t handle = 0; handle < m_windows.size(); ++handle) {
        wxWindow* window = m_windows[handle];
        const int pane = static_cast<int>(handle);
        window->SetId(m_model.PaneId(pane));
        if (!m_model.IsPaneVisible(pane)) {
            window->Hide();
            continue;
        }
        const int offset = m_model.PaneId(pane) - SplitterModel::kFirstPaneId;
        const SplitterModel::Rect r = m_model.PaneRect(offset / 16, offset % 16);
        window->SetSize(r.x, r.y, r.width, r.height);
        window->Show(r.width > 0 && r.height > 0);
    }
    if (focusActive)
        if (wxWindow* active = GetActivePane()) active->SetFocus();
    Refresh();
}

void CSplitterWndEx::OnSize(wxSizeEvent& event)
{
    Apply(false);
    event.Skip();
}

void CSplitterWndEx::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_3DFACE)));
    dc.Clear();
    wxRendererNative& renderer = wxRendererNative::Get();
    for (int c = 0; c + 1 < m_model.ColumnCount(); ++c) {
        const SplitterModel::Rect r = m_model.ColumnSashRect(c);
        renderer.DrawSplitterSash(this, dc, GetClientSize(), r.x, wxVERTICAL);
    }
    for (int row = 0; row + 1 < m_model.RowCount(); ++row) {
        const SplitterModel::Rect r = m_model.RowSashRect(row);
        renderer.DrawSplitterSash(this, dc, GetClientSize(), r.y, wxHORIZONTAL);
    }
}

void CSplitterWndEx::OnMouseDown(wxMouseEvent& event)
{
    m_drag = m_model.HitTestSash(event.GetX(), event.GetY());
    if (m_drag.column >= 0 || m_drag.row >= 0) CaptureMouse();
}

void CSplitterWndEx::OnMouseMotion(wxMouseEvent& event)
{
    if (HasCapture()) {
        if (m_drag.column >= 0) m_model.MoveColumnSash(m_drag.column, event.GetX());
        if (m_drag.row >= 0) m_model.MoveRowSash(m_drag.row, event.GetY());
        Apply(false);
        return;
    }
    const SplitterModel::SashHit hit = m_model.HitTestSash(event.GetX(), event.GetY());
    SetCursor(hit.column >= 0 && hit.row >= 0 ? wxCursor(wxCURSOR_SIZING)
              : hit.column >= 0               ? wxCursor(wxCURSOR_SIZEWE)
              : hit.row >= 0                  ? wxCursor(wxCURSOR_SIZENS)
                                              : wxNullCursor);
}

void CSplitterWndEx::OnMouseUp(wxMouseEvent&)
{
    if (HasCapture()) ReleaseMouse();
    m_drag = {};
}

void CSplitterWndEx::OnCaptureLost(wxMouseCaptureLostEvent&) { m_drag = {}; }

} // namespace brindle
