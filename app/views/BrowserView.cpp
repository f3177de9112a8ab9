#include "app/views/BrowserView.h"

#include "app/views/EditSourceView.h"
#include "brindlekit/text/TextPainter.h"
#include "brindlekit/text/ViewPalette.h"

#include <wx/webview.h>

#include <wx/sizer.h>

namespace {

void PrepareHost(wxPanel* host)
{
    host->SetSizer(new wxBoxSizer(wxVERTICAL));
    host->SetBackgroundColour(brindle::ToColour(brindle::SystemViewPalette().Window()));
}

} // namespace

CBrowserView::CBrowserView(wxWindow* parent, CBrindleDoc* doc) : wxPanel(parent, wxID_ANY), m_preview(this)
{
    PrepareHost(this);
    m_preview.SetDocument(doc);
    // The default Edit menu: the preview edits nothing.
    Bind(wxEVT_SET_FOCUS, [](wxFocusEvent& event) {
        RequestEditMenu(0);
        event.Skip();
    });
}

void CBrowserView::Activate(bool entered) { m_preview.Render(entered); }

void CBrowserView::SetFocus()
{
    if (wxWindow* web = m_preview.WebView()) web->SetFocus();
    else wxWindow::SetFocus();
}

CBrowserPage::CBrowserPage(wxWindow* parent, CBrindleDoc* doc) : wxPanel(parent, wxID_ANY), m_preview(this)
{
    PrepareHost(this);
    m_preview.SetDocument(doc);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
        if (m_shownOnce) m_preview.Render(false);
        event.Skip();
    });
}

void CBrowserPage::OnShown()
{
    // The first showing renders whatever the document's state.
    m_preview.Render(!m_shownOnce);
    m_shownOnce = true;
}

void CBrowserPage::OnDocumentChanged()
{
    if (m_shownOnce && IsShownOnScreen()) m_preview.Render(false);
}
