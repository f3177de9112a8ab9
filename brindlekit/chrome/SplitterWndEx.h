#pragma once

#include "brindlekit/chrome/SplitterModel.h"
#include "platform/Export.h"

#include <wx/window.h>

#include <vector>

namespace brindle {

// A static splitter window: a grid of panes (child windows of the splitter) with
// draggable sashes between them, whose columns and rows can be hidden and put back
// without destroying their panes. The rules are SplitterModel's; this window
// places the panes, paints and drags the sashes, and keeps each pane's window id
// equal to its pane id (0xE900 + 16·row + column while visible).
class BRINDLEKIT_API CSplitterWndEx : public wxWindow {
public:
    CSplitterWndEx(wxWindow* parent, int rows, int columns, wxWindowID id = wxID_ANY);
    ~CSplitterWndEx() override;

    // Puts a window (a child of this splitter) in a slot, with its ideal size in
    // the slot's column and row.
    void SetPane(int row, int column, wxWindow* pane, const wxSize& idealSize = wxDefaultSize);
    // The window in a slot of the grid (visible or not), or null.
    wxWindow* GetPane(int row, int column) const;
    bool IsPaneVisible(wxWindow* pane) const;

    int GetRowCount() const { return m_model.RowCount(); }
    int GetColumnCount() const { return m_model.ColumnCount(); }
    void SetColumnInfo(int column, int ideal, int minimum) { m_model.SetColumnInfo(column, ideal, minimum); }
    void SetRowInfo(int row, int ideal, int minimum) { m_model.SetRowInfo(row, ideal, minimum); }
    void GetColumnInfo(int column, int& current, int& minimum) const;
    void GetRowInfo(int row, int& current, int& minimum) const;

    // The active pane is the one that holds (or last held) the keyboard focus.
    void SetActivePane(int row, int column);
    wxWindow* GetActivePane(int* row = nullptr, int* column = nullptr) const;

    // See SplitterModel. A pane hidden while it held the focus passes it on to
    // the pane that becomes active.
    void HideColumn(int column);
    void RestoreColumn(int position);
    void ShowColumn();
    void HideRow(int row);
    void ShowRow();
    // Puts `view` (a child of this splitter) in the slot; the window there is
    // hidden. false when `view` is there already.
    bool SwitchView(int row, int column, wxWindow* view);

    // Places the visible panes again (done on every size change).
    void RecalcLayout();

    const SplitterModel& Model() const { return m_model; }

private:
    int HandleOf(wxWindow* window) const;
    int AddWindow(wxWindow* window);
    wxWindow* WindowOf(int pane) const;
    // Shows, hides and renumbers the windows as the model says, and places them.
    void Apply(bool focusActive);

    void OnSize(wxSizeEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    void OnMouseMotion(wxMouseEvent& event);
    void OnMouseUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnChildFocus(wxChildFocusEvent& event);

    SplitterModel m_model;
    std::vector<wxWindow*> m_windows; // by pane handle
    SplitterModel::SashHit m_drag;
};

} // namespace brindle
