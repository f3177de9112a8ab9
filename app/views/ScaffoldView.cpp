#include "app/views/ScaffoldView.h"

#include "app/document/ScaffoldDocument.h"
#include "app/shell/DocChildFrame.h"
#include "app/shell/Menus.h"

#include <wx/textctrl.h>

bool ScaffoldView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags)) return false;
    auto* parent = wxDynamicCast(wxTheApp->GetTopWindow(), wxAuiMDIParentFrame);
    if (!parent) return false;
    auto* frame = new DocChildFrame(doc, this, parent, m_menuResourceId);
    m_text = new wxTextCtrl(frame, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxTE_RICH2);
    m_text->SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
    SetFrame(frame);
    return true;
}

void ScaffoldView::OnUpdate(wxView*, wxObject*)
{
    auto* doc = dynamic_cast<ScaffoldDocument*>(GetDocument());
    if (!doc || !m_text) return;
    wxString text = wxString::FromUTF8(doc->Text());
    if (text.empty() && !doc->Text().empty()) text = wxString::From8BitData(doc->Text().data(), doc->Text().size());
    m_text->ChangeValue(text);
}

bool ScaffoldView::OnClose(bool deleteWindow)
{
    // The frame goes with the view; the framework destroys it.
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    return true;
}
