#include "app/views/DragImageWindow.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/settings.h>

DragImageWindow::DragImageWindow(wxWindow* parent, const wxBitmap& picture, const wxPoint& hotSpot)
    : wxPopupWindow(parent, wxBORDER_NONE), m_picture(picture), m_hotSpot(hotSpot)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetClientSize(picture.GetSize());
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.DrawBitmap(m_picture, 0, 0);
    });
}

void DragImageWindow::MoveTo(const wxPoint& screenPoint) { Move(screenPoint - m_hotSpot); }

namespace {

wxWindow* ChildAtPoint(wxWindow* window, const wxPoint& screenPoint)
{
    // Children drawn last lie on top.
    const wxWindowList& children = window->GetChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        wxWindow* child = *it;
        if (!child->IsShown() || child->IsTopLevel()) continue;
        if (child->GetScreenRect().Contains(screenPoint)) return ChildAtPoint(child, screenPoint);
    }
    return window;
}

} // namespace

wxWindow* DragImageWindow::WindowAtPoint(const wxPoint& screenPoint, const wxWindow* ignore)
{
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it) {
        wxWindow* top = *it;
        if (top == ignore || !top->IsShown()) continue;
        if (top->GetScreenRect().Contains(screenPoint)) return ChildAtPoint(top, screenPoint);
    }
    return nullptr;
}

wxBitmap DragImageWindow::RowsPicture(const wxWindow& window, wxImageList* images, const std::vector<Row>& rows)
{
    wxRect area;
    for (const Row& row : rows) area = area.IsEmpty() ? row.rect : area.Union(row.rect);
    if (area.IsEmpty()) area = wxRect(0, 0, 16, 16);
    wxBitmap bitmap(area.GetSize());
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(window.GetBackgroundColour()));
    dc.Clear();
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(wxPoint(0, 0), area.GetSize());
    dc.SetFont(window.GetFont());
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    for (const Row& row : rows) {
        const wxPoint at = row.rect.GetTopLeft() - area.GetTopLeft();
        int x = at.x + 2;
        if (images && row.image >= 0) {
            images->Draw(row.image, dc, x, at.y + (row.rect.height - 16) / 2, wxIMAGELIST_DRAW_TRANSPARENT);
            x += 20;
        }
        dc.DrawText(row.label, x, at.y + (row.rect.height - dc.GetCharHeight()) / 2);
    }
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}
