#include "app/shell/DocumentView.h"

#include "app/shell/DocChildFrame.h"

#include <wx/app.h>

bool DocumentView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags)) return false;
    auto* parent = wxDynamicCast(wxTheApp->GetTopWindow(), wxAuiMDIParentFrame);
    DocChildFrame* frame = parent ? m_makeFrame(doc, this, parent) : nullptr;
    if (!frame) return false;
    SetFrame(frame);
    return true;
}

DocChildFrame* DocumentView::Frame() const { return dynamic_cast<DocChildFrame*>(GetFrame()); }

brindle::CEditView* DocumentView::GetEditWindow() const { return Frame() ? Frame()->GetSourceEditor() : nullptr; }

void DocumentView::OnUpdate(wxView*, wxObject*)
{
    if (DocChildFrame* frame = Frame()) frame->UpdateFromDocument();
}

bool DocumentView::OnClose(bool deleteWindow)
{
    // The frame goes with the view; the framework destroys it.
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    if (DocChildFrame* frame = Frame()) frame->DetachDocument();
    return true;
}

bool DocumentView::TryBefore(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    DocChildFrame* frame = Frame();
    wxWindow* active = frame ? frame->GetActiveView() : nullptr;
    if (active && (type == wxEVT_MENU || type == wxEVT_UPDATE_UI) && active->GetEventHandler()->ProcessEventLocally(event))
        return true;
    return wxView::TryBefore(event);
}
