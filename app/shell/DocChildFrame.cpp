#include "app/shell/DocChildFrame.h"

#include "app/shell/MainFrame.h"

DocChildFrame::DocChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, int menuResourceId)
    : wxDocChildFrameAny(doc, view, parent, wxID_ANY, doc->GetUserReadableName()), m_menuResourceId(menuResourceId)
{
    if (auto* main = dynamic_cast<CMainFrame*>(parent)) SetMenuBar(main->CreateDocumentMenuBar(menuResourceId));
}
