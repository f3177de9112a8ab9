#include "app/views/PlaceholderView.h"

#include "app/views/EditSourceView.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

PlaceholderView::PlaceholderView(wxWindow* parent, const wxString& title, int editMenuResourceId)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN | wxWANTS_CHARS),
      m_title(title), m_editMenu(editMenuResourceId)
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
        dc.DrawText(m_title, 8, 8);
    });
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
        SetFocus();
        event.Skip();
    });
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
        RequestEditMenu(m_editMenu);
        event.Skip();
    });
}
