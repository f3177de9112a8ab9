#include "app/shell/SourceChildFrame.h"

#include "app/document/BrindleDoc2.h"
#include "app/shell/IndicatorStatusBar.h"
#include "app/views/EditSourceView.h"
#include "brindlekit/text/TextView.h"
#include "resources/CommandIds.h"

#include <wx/sizer.h>

using namespace ids;

SourceChildFrame::SourceChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId,
                                   std::vector<int> panes)
    : DocChildFrame(doc, view, parent, menuResourceId)
{
    m_statusBar = new IndicatorStatusBar(this, panes);
    Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
        m_statusBar->UpdatePanes(m_view, GetMessageText());
        event.Skip();
    });
}

wxWindow* SourceChildFrame::GetActiveView() const { return m_view; }

void SourceChildFrame::SetSourceView(brindle::CTextView* view)
{
    m_view = view;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(view, 1, wxEXPAND);
    sizer->Add(m_statusBar, 0, wxEXPAND);
    SetSizer(sizer);
    Layout();
}

CChildFrame2::CChildFrame2(CBrindleDoc2* doc, wxView* view, wxAuiMDIParentFrame* parent)
    : SourceChildFrame(doc, view, parent, IDR_DTDTYPE,
                       {ID_SEPARATOR, ID_INDICATOR_POSITION, ID_INDICATOR_CRLF, ID_INDICATOR_OVR, ID_INDICATOR_READ,
                        ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL}),
      m_edit(new CEditSourceView2(this, doc))
{
    SetSourceView(m_edit);
}

brindle::CEditView* CChildFrame2::GetSourceEditor() const { return m_edit; }

void CChildFrame2::OnDetachDocument() { m_edit->DetachDocument(); }
