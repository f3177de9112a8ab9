#pragma once

#include <wx/aui/tabmdi.h>
#include <wx/docview.h>

// A document's window inside the main frame: one tab of the main frame's document
// area, carrying the menu bar of its document kind.
class DocChildFrame : public wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame> {
public:
    DocChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId);

    int MenuResourceId() const { return m_menuResourceId; }
    // The view that has (or last had) the keyboard, which gets the menu
    // commands first; null when there is none.
    virtual wxWindow* GetActiveView() const { return nullptr; }

private:
    int m_menuResourceId;
};
