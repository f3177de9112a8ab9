#include "app/views/SourceDocView.h"

#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/shell/SourceChildFrame.h"
#include "app/views/EditSourceView.h"
#include "resources/CommandIds.h"

#include <wx/app.h>

using namespace ids;

namespace {

// SCAFFOLDING, replaced by the XML document frame with its node tree, node
// list, source and browser views: an XML document is edited as source text
// only, with the source view's status bar.
class XmlSourceFrame : public SourceChildFrame {
public:
    XmlSourceFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent)
        : SourceChildFrame(doc, view, parent, IDR_XMLTYPE,
                           {AFX_IDS_IDLEMESSAGE, ID_INDICATOR_POSITION, ID_INDICATOR_OVR, ID_INDICATOR_CAPS,
                            ID_INDICATOR_NUM, ID_INDICATOR_SCRL})
    {
    }
    std::string GetMessageText() const override
    {
        auto* view = dynamic_cast<CEditSourceView*>(GetSourceView());
        return view ? view->GetStatusMessage() : std::string();
    }
};

} // namespace

bool SourceDocView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags)) return false;
    auto* parent = wxDynamicCast(wxTheApp->GetTopWindow(), wxAuiMDIParentFrame);
    if (!parent) return false;
    SourceChildFrame* frame = nullptr;
    if (auto* xml = dynamic_cast<CBrindleDoc*>(doc)) {
        frame = new XmlSourceFrame(doc, this, parent);
        m_edit = new CEditSourceView(frame, xml);
    } else if (auto* dtd = dynamic_cast<CBrindleDoc2*>(doc)) {
        frame = new CChildFrame2(doc, this, parent);
        m_edit = new CEditSourceView2(frame, dtd);
    } else {
        return false;
    }
    frame->SetSourceView(m_edit);
    SetFrame(frame);
    return true;
}

void SourceDocView::OnUpdate(wxView*, wxObject*)
{
    if (!m_edit) return;
    if (!m_attached) {
        if (auto* xml = dynamic_cast<CBrindleDoc*>(GetDocument())) {
            // The text is the edited form while only the source is shown.
            xml->RegenerateText();
            xml->SetSourceIsMaster(true);
        }
        m_edit->AttachToBuffer();
        m_attached = true;
    }
    m_edit->Refresh();
}

bool SourceDocView::OnClose(bool deleteWindow)
{
    // The frame goes with the view; the framework destroys it.
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    if (m_edit) m_edit->DetachFromBuffer();
    return true;
}

bool SourceDocView::TryBefore(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (m_edit && (type == wxEVT_MENU || type == wxEVT_UPDATE_UI) &&
        m_edit->GetEventHandler()->ProcessEventLocally(event))
        return true;
    return wxView::TryBefore(event);
}
