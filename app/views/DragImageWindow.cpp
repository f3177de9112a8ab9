#include "app/views/DragImageWindow.h"

#include <wx/dcclient.h>

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
