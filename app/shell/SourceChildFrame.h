#pragma once

#include "app/shell/DocChildFrame.h"

#include <string>
#include <vector>

namespace brindle {
class CTextView;
}
class CBrindleDoc2;
class CEditSourceView2;
class IndicatorStatusBar;

// A document frame holding one source view above a status bar whose panes show
// the view's indicators (position, line-break style, overwrite, read-only) and
// the keyboard locks.
class SourceChildFrame : public DocChildFrame {
public:
    SourceChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId,
                     std::vector<int> panes);

    // Puts the view in place; the frame lays it out above its status bar.
    void SetSourceView(brindle::CTextView* view);
    brindle::CTextView* GetSourceView() const { return m_view; }
    wxWindow* GetActiveView() const override;
    // The text of the message pane (id 0 or 61449), read at every idle time.
    virtual std::string GetMessageText() const { return {}; }

private:
    brindle::CTextView* m_view = nullptr;
    IndicatorStatusBar* m_statusBar = nullptr;
};

// The DTD document's frame: its source view and an eight-pane status bar.
class CChildFrame2 : public SourceChildFrame {
public:
    CChildFrame2(CBrindleDoc2* doc, wxView* view, wxAuiMDIParentFrame* parent);
    brindle::CEditView* GetSourceEditor() const override;

protected:
    void OnDetachDocument() override;

private:
    CEditSourceView2* m_edit;
};
