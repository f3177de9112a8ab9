#include "app/shell/DocumentView.h"

#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/shell/ChildFrame.h"
#include "app/shell/SourceChildFrame.h"
#include "app/views/EditSourceView.h"

#include <wx/app.h>

bool DocumentView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags)) return false;
    auto* parent = wxDynamicCast(wxTheApp->GetTopWindow(), wxAuiMDIParentFrame);
    if (!parent) return false;
    if (auto* xml = dynamic_cast<CBrindleDoc*>(doc)) {
        auto* frame = new CChildFrame(xml, this, parent);
        m_edit = frame->GetSourceView();
        SetFrame(frame);
    } else if (auto* dtd = dynamic_cast<CBrindleDoc2*>(doc)) {
        auto* frame = new CChildFrame2(doc, this, parent);
        m_edit = new CEditSourceView2(frame, dtd);
        frame->SetSourceView(m_edit);
        SetFrame(frame);
    } else {
        return false;
    }
    return true;
}

void DocumentView::OnUpdate(wxView*, wxObject*)
{
    if (!m_edit) return;
    if (auto* frame = dynamic_cast<CChildFrame*>(GetFrame())) frame->OnDocumentUpdate();
    if (!m_attached) {
        m_edit->AttachToBuffer();
        m_attached = true;
    }
    m_edit->Refresh();
}

bool DocumentView::OnClose(bool deleteWindow)
{
    // The frame goes with the view; the framework destroys it.
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    if (auto* frame = dynamic_cast<CChildFrame*>(GetFrame())) frame->DetachDocument();
    else if (auto* dtd = dynamic_cast<CEditSourceView2*>(m_edit)) dtd->DetachDocument();
    m_edit = nullptr;
    return true;
}

bool DocumentView::TryBefore(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    auto* frame = dynamic_cast<DocChildFrame*>(GetFrame());
    wxWindow* active = frame ? frame->GetActiveView() : nullptr;
    if (active && (type == wxEVT_MENU || type == wxEVT_UPDATE_UI) && active->GetEventHandler()->ProcessEventLocally(event))
        return true;
    return wxView::TryBefore(event);
}
