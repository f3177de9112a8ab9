#include "app/shell/SourceChildFrame.h"

#include "brindlekit/text/TextView.h"
#include "resources/CommandIds.h"

#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

using namespace ids;

namespace {

bool IsMessagePane(int id) { return id == ID_SEPARATOR || id == AFX_IDS_IDLEMESSAGE; }

const char* LockText(int id)
{
    switch (id) {
    case ID_INDICATOR_CAPS: return "CAP";
    case ID_INDICATOR_NUM: return "NUM";
    case ID_INDICATOR_SCRL: return "SCRL";
    default: return nullptr;
    }
}

bool LockOn(int id)
{
    switch (id) {
    case ID_INDICATOR_CAPS: return wxGetKeyState(WXK_CAPITAL);
    case ID_INDICATOR_NUM: return wxGetKeyState(WXK_NUMLOCK);
    case ID_INDICATOR_SCRL: return wxGetKeyState(WXK_SCROLL);
    default: return false;
    }
}

} // namespace

SourceChildFrame::SourceChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId,
                                   std::vector<int> panes)
    : DocChildFrame(doc, view, parent, menuResourceId), m_panes(std::move(panes))
{
    m_statusBar = new wxStatusBar(this, wxID_ANY, wxSTB_DEFAULT_STYLE & ~wxSTB_SIZEGRIP);
    std::vector<int> widths;
    for (int id : m_panes) {
        if (IsMessagePane(id)) {
            widths.push_back(-1);
            continue;
        }
        // The placeholder texts fix the pane widths.
        const char* placeholder = LockText(id) ? LockText(id) : brindle::CTextView::IndicatorPlaceholder(id);
        widths.push_back(m_statusBar->GetTextExtent(placeholder).x + 12);
    }
    m_statusBar->SetFieldsCount(static_cast<int>(widths.size()), widths.data());
    Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
        UpdatePanes();
        event.Skip();
    });
}

void SourceChildFrame::SetSourceView(brindle::CTextView* view)
{
    m_view = view;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(view, 1, wxEXPAND);
    sizer->Add(m_statusBar, 0, wxEXPAND);
    SetSizer(sizer);
    Layout();
}

void SourceChildFrame::UpdatePanes()
{
    for (size_t i = 0; i < m_panes.size(); ++i) {
        const int id = m_panes[i];
        std::string text;
        if (IsMessagePane(id)) text = GetMessageText();
        else if (const char* lock = LockText(id)) text = LockOn(id) ? lock : "";
        else if (m_view) {
            const auto indicator = m_view->GetStatusIndicator(id);
            if (indicator.enabled) text = indicator.text;
        }
        const wxString value = wxString::FromUTF8(text);
        if (m_statusBar->GetStatusText(static_cast<int>(i)) != value) m_statusBar->SetStatusText(value, static_cast<int>(i));
    }
}

CChildFrame2::CChildFrame2(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent)
    : SourceChildFrame(doc, view, parent, IDR_DTDTYPE,
                       {ID_SEPARATOR, ID_INDICATOR_POSITION, ID_INDICATOR_CRLF, ID_INDICATOR_OVR, ID_INDICATOR_READ,
                        ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL})
{
}
