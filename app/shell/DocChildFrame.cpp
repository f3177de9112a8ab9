#include "app/shell/DocChildFrame.h"

#include "app/document/BrindleDocBase.h"
#include "app/shell/DiskChangeCheck.h"
#include "brindlekit/text/EditView.h"

wxDEFINE_EVENT(EVT_BRINDLE_VIEW_MODE, wxCommandEvent);

DocChildFrame::DocChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId)
    : wxDocChildFrameAny(doc, view, parent, wxID_ANY, doc->GetUserReadableName()), m_menuResourceId(menuResourceId)
{
    if (auto* menus = dynamic_cast<DocumentMenuBarSource*>(parent)) SetMenuBar(menus->CreateDocumentMenuBar(menuResourceId));
    // A document whose file another program changed is asked about when its
    // frame comes to the front, once the activation is done.
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        event.Skip();
        if (event.GetActive()) CallAfter([this] { CheckFileOnDisk(); });
    });
}

void DocChildFrame::CheckFileOnDisk()
{
    if (!m_detached) CheckDocumentOnDisk(dynamic_cast<CBrindleDocBase*>(GetDocument()));
}

void DocChildFrame::UpdateFromDocument()
{
    if (m_detached) return;
    OnDocumentUpdate();
    brindle::CEditView* edit = GetSourceEditor();
    if (!edit) return;
    if (!m_attached) {
        edit->AttachToBuffer();
        m_attached = true;
    }
    edit->Refresh();
}

void DocChildFrame::DetachDocument()
{
    m_detached = true;
    OnDetachDocument();
}
