#pragma once

#include <wx/window.h>

// SCAFFOLDING, replaced by the node tree, the node list page and the browser
// preview as they land: a pane of the document frame that says what will be
// there. It takes the focus like a view and asks for its Edit menu then.
class PlaceholderView : public wxWindow {
public:
    PlaceholderView(wxWindow* parent, const wxString& title, int editMenuResourceId);
    bool AcceptsFocus() const override { return true; }

private:
    wxString m_title;
    int m_editMenu;
};
