#include "app/shell/DocChildFrame.h"

#include "brindlekit/text/EditView.h"

wxDEFINE_EVENT(EVT_BRINDLE_VIEW_MODE, wxCommandEvent);

DocChildFrame::DocChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId)
    : wxDocChildFrameAny(doc, view, parent, wxID_ANY, doc->GetUserReadableName()), m_menuResourceId(menuResourceId)
{
    if (auto* menus = dynamic_cast<DocumentMenuBarSource*>(parent)) SetMenuBar(menus->CreateDocumentMenuBar(menuResourceId));
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
