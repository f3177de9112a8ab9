#pragma once

#include <wx/notebook.h>
#include <wx/panel.h>

class CBrindleDoc;
class CBrowserPage;
class CNodePage;

// The tabs beside the node tree, at the bottom: "Nodes" (the node list page,
// selected first) and "Browse". Clicking a tab gives its page the focus.
class CPropertySheetView : public wxNotebook {
public:
    CPropertySheetView(wxWindow* parent, CBrindleDoc* doc);

    CNodePage* GetNodePage() const { return m_nodePage; }
    CBrowserPage* GetBrowserPage() const { return m_browserPage; }

private:
    CNodePage* m_nodePage;
    CBrowserPage* m_browserPage;
};

// The document's form view in Node Tree mode: it holds the property sheet, hands
// every command and command-state request it receives to the sheet's active page
// first, and passes the document's change notices to the pages. The document's
// XML prints from here whichever page is shown.
class CBrindleView : public wxPanel {
public:
    CBrindleView(wxWindow* parent, CBrindleDoc* doc);

    // The document changed: every page shows it again.
    void OnDocumentUpdate();
    // The document is closing; the pages must not reach it any more.
    void DetachDocument();
    // The pages let go of the nodes they show until the next update.
    void ReleaseNodes();
    CNodePage* GetNodePage() const { return m_sheet->GetNodePage(); }
    CPropertySheetView* GetSheet() const { return m_sheet; }
    // The keyboard goes to the active page.
    void SetFocus() override;

protected:
    bool TryBefore(wxEvent& event) override;

private:
    CBrindleDoc* m_doc;
    CPropertySheetView* m_sheet;
};
