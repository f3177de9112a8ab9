#include "app/views/ScaffoldView.h"

#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/document/EncodedText.h"
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
    if (!m_text) return;
    std::string bytes;
    if (auto* xml = dynamic_cast<CBrindleDoc*>(GetDocument())) {
        // The XML document's source text, refreshed from its DOM (or its file when
        // it did not parse).
        xml->RegenerateText();
        bytes = GetWholeText(xml->GetTextBuffer());
    } else if (auto* dtd = dynamic_cast<CBrindleDoc2*>(GetDocument())) {
        bytes = GetWholeText(dtd->GetTextBuffer());
    }
    wxString text = wxString::FromUTF8(bytes);
    if (text.empty() && !bytes.empty()) text = wxString::From8BitData(bytes.data(), bytes.size());
    m_text->ChangeValue(text);
}

bool ScaffoldView::OnClose(bool deleteWindow)
{
    // The frame goes with the view; the framework destroys it.
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    return true;
}
