#pragma once

#include <wx/aui/tabmdi.h>
#include <wx/docview.h>

namespace brindle {
class CEditView;
}
class wxMenuBar;

// Posted to the main frame by a document frame with the id of the mode it shows
// (Source View, Node Tree or Browser View) in the event's integer.
wxDECLARE_EVENT(EVT_BRINDLE_VIEW_MODE, wxCommandEvent);

// Makes the menu bar of a document frame of a kind (by its menu resource); the
// main frame does, for the frames inside it.
class DocumentMenuBarSource {
public:
    virtual wxMenuBar* CreateDocumentMenuBar(int resourceId) = 0;

protected:
    ~DocumentMenuBarSource() = default;
};

// A document's window inside the main frame: one tab of the main frame's document
// area, carrying the menu bar of its document kind.
class DocChildFrame : public wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame> {
public:
    DocChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId);

    int MenuResourceId() const { return m_menuResourceId; }
    // The view that has (or last had) the keyboard, which gets the menu
    // commands first; null when there is none.
    virtual wxWindow* GetActiveView() const { return nullptr; }
    // The view that shows the document's text.
    virtual brindle::CEditView* GetSourceEditor() const = 0;
    // The document notified its views: the first time (the document is loaded)
    // the source view is attached to the document's text.
    void UpdateFromDocument();
    // The document is closing; the frame and its views go soon after it and no
    // longer reach it.
    void DetachDocument();
    // Asks about a change another program made to the document's file.
    void CheckFileOnDisk();
    // Shows the text with the caret at line and column (from 1, clamped).
    void GoToText(long line, long column);
    // Opens the file (or finds it open) and goes to line and column of its text.
    void GoToFile(const std::string& file, long line, long column);

protected:
    // Brings the document's text into view (a frame with other modes switches);
    // false when it cannot be shown.
    virtual bool ShowText() { return true; }
    // Brings the frame's other views up to date with the document.
    virtual void OnDocumentUpdate() {}
    // Lets the frame's views drop the document.
    virtual void OnDetachDocument() = 0;

private:
    int m_menuResourceId;
    bool m_attached = false;
    bool m_detached = false;
};
