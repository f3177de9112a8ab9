#pragma once

#include "app/shell/DocChildFrame.h"
#include "app/shell/ViewModes.h"

class CBrindleDoc;
class CBrindleView;
class CBrowserView;
class CEditSourceView;
class CLeftView;
class IndicatorStatusBar;
class ValidationErrorsPane;
namespace brindle {
class CSplitterWndEx;
}

// The XML document's frame: the node tree, the node list, the source view and
// the browser view side by side in one splitter, of which the mode shows the
// tree and the list (Node Tree), the source (Source) or the browser (Browser),
// with a status bar for the tree and one for the source. Switching modes carries
// the edits across: entering Source mode regenerates the text from the DOM and
// validates it; leaving it parses the text back, and is refused while the text
// does not parse.
class CChildFrame : public DocChildFrame {
public:
    CChildFrame(CBrindleDoc* doc, wxView* view, wxAuiMDIParentFrame* parent);

    ViewMode GetMode() const { return m_mode; }
    brindle::CSplitterWndEx* GetSplitter() const { return m_splitter; }
    CEditSourceView* GetSourceView() const { return m_source; }
    CLeftView* GetTreeView() const { return m_tree; }
    CBrindleView* GetFormView() const { return m_form; }
    CBrowserView* GetBrowserView() const { return m_browser; }
    wxWindow* GetActiveView() const override;
    IndicatorStatusBar* GetSourceStatusBar() const { return m_sourceStatus; }
    // The errors the last validation found, below the views; hidden when it
    // found none.
    ValidationErrorsPane* GetErrorsPane() const { return m_errors; }
    brindle::CEditView* GetSourceEditor() const override;

    // The mode commands; false when the frame stays where it was.
    bool ShowSourceMode();
    bool ShowTreeMode();
    bool ShowBrowserMode();
    // Transform ...: the stylesheet proposed by the document, the Transform
    // dialog, then the transformation of the DOM into the chosen file.
    void TransformDocument();

protected:
    bool ShowText() override;
    void OnDocumentUpdate() override;
    void OnDetachDocument() override;

private:
    // Leaving Source mode: the text must parse, then the DOM is rebuilt from it.
    bool LeaveSourceMode();
    void SwitchTo(ViewMode mode);
    void PostViewMode(int command);
    void SendToActiveView(int command);
    void FocusActiveView();

    void OnModeCommand(wxCommandEvent& event);
    void OnUpdateModeCommand(wxUpdateUIEvent& event);
    void OnTransform(wxCommandEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnValidated(wxCommandEvent& event);

    CBrindleDoc* m_doc;
    brindle::CSplitterWndEx* m_splitter = nullptr;
    CEditSourceView* m_source = nullptr;
    CLeftView* m_tree = nullptr;
    CBrindleView* m_form = nullptr;
    CBrowserView* m_browser = nullptr;
    IndicatorStatusBar* m_treeStatus = nullptr;
    IndicatorStatusBar* m_sourceStatus = nullptr;
    ValidationErrorsPane* m_errors = nullptr;
    // A note from the document (a save that wrote the whole tree) and the
    // selection it was shown at.
    std::string m_statusNote;
    std::string m_statusNotePath;
    ViewMode m_mode = ViewMode::Tree;
};
