#include "app/views/BrindleView.h"

#include "app/views/NodePage.h"
#include "app/views/BrowserView.h"
#include "app/views/DocPrinter.h"
#include "resources/CommandIds.h"

#include <wx/sizer.h>

namespace {
// Set while a command is offered to a page: the page's own routing reaches this
// view again (the page lies inside it) and must then go on as usual.
bool g_offeringToPage = false;
} // namespace

CPropertySheetView::CPropertySheetView(wxWindow* parent, CBrindleDoc* doc)
    : wxNotebook(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxNB_BOTTOM)
{
    m_nodePage = new CNodePage(this, doc);
    AddPage(m_nodePage, "Nodes", true);
    SetCanFocus(false); // the tabs never take the keyboard
    m_browserPage = new CBrowserPage(this, doc);
    AddPage(m_browserPage, "Browse");
    Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
        if (event.GetEventObject() == this) {
            if (GetCurrentPage() == m_browserPage) m_browserPage->OnShown();
            if (wxWindow* page = GetCurrentPage()) page->SetFocus();
        }
        event.Skip();
    });
}

CBrindleView::CBrindleView(wxWindow* parent, CBrindleDoc* doc) : wxPanel(parent, wxID_ANY), m_doc(doc)
{
    m_sheet = new CPropertySheetView(this, doc);
    for (int id : {ids::ID_FILE_PRINT, ids::ID_FILE_PRINT_DIRECT, ids::ID_FILE_PRINT_PREVIEW}) {
        Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
            if (m_doc) brindle::RunDocPrintCommand(this, *m_doc, event.GetId());
        }, id);
        Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(m_doc != nullptr); }, id);
    }
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_sheet, 1, wxEXPAND);
    SetSizer(sizer);
}

void CBrindleView::SetFocus()
{
    if (wxWindow* page = m_sheet->GetCurrentPage()) page->SetFocus();
    else wxPanel::SetFocus();
}

void CBrindleView::OnDocumentUpdate()
{
    GetNodePage()->OnDocumentChanged();
    m_sheet->GetBrowserPage()->OnDocumentChanged();
}

void CBrindleView::ReleaseNodes() { GetNodePage()->ReleaseNodes(); }

void CBrindleView::DetachDocument()
{
    m_doc = nullptr;
    GetNodePage()->DetachDocument();
    m_sheet->GetBrowserPage()->DetachDocument();
}

bool CBrindleView::TryBefore(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if ((type == wxEVT_MENU || type == wxEVT_UPDATE_UI) && !g_offeringToPage) {
        if (wxWindow* page = m_sheet->GetCurrentPage()) {
            g_offeringToPage = true;
            const bool handled = page->GetEventHandler()->ProcessEventLocally(event);
            g_offeringToPage = false;
            if (handled) return true;
        }
    }
    return wxPanel::TryBefore(event);
}
