#include "app/shell/DocChildFrame.h"

#include "app/document/BrindleDocBase.h"
#include "app/shell/DiskChangeCheck.h"
#include "brindlekit/text/EditView.h"
#include "brindlekit/text/TextBuffer.h"

#include <algorithm>
#include <wx/filesys.h>

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

void DocChildFrame::GoToText(long line, long column)
{
    if (m_detached || line < 1 || !ShowText()) return;
    brindle::CEditView* edit = GetSourceEditor();
    brindle::CTextBuffer* buffer = edit ? edit->GetBuffer() : nullptr;
    if (!buffer || buffer->GetLineCount() == 0) return;
    const int at = static_cast<int>(std::min<long>(line, buffer->GetLineCount())) - 1;
    const int ch = static_cast<int>(std::clamp<long>(column - 1, 0, buffer->GetLineLength(at)));
    edit->SetFocus();
    edit->Model().MoveToPos(at, ch);
    edit->Model().EnsureVisible(brindle::CPoint(ch, at));
    edit->Refresh();
}

void DocChildFrame::GoToFile(const std::string& file, long line, long column)
{
    wxDocManager* manager = GetDocument() ? GetDocument()->GetDocumentManager() : nullptr;
    if (!manager) return;
    wxString path = wxString::FromUTF8(file);
    if (path.StartsWith("file:")) path = wxFileSystem::URLToFileName(path).GetFullPath();
    wxDocument* doc = manager->FindDocumentByPath(path);
    // Opening tells the user itself why a file cannot be opened.
    if (!doc) doc = manager->CreateDocument(path, wxDOC_SILENT);
    wxView* view = doc ? doc->GetFirstView() : nullptr;
    auto* frame = view ? dynamic_cast<DocChildFrame*>(view->GetFrame()) : nullptr;
    if (!frame) return;
    frame->Activate();
    // Once the frame is up and in front.
    frame->CallAfter([frame, line, column] { frame->GoToText(line, column); });
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
