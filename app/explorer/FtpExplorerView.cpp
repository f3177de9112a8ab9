#include "app/explorer/FtpExplorerView.h"

#include "app/explorer/FTPDirView.h"
#include "app/explorer/FTPFolderView.h"

#include <wx/sizer.h>
#include <wx/splitter.h>

CZevFtpExplorerView::CZevFtpExplorerView(wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE)
{
    m_splitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE);
    m_splitter->SetMinimumPaneSize(20);
    m_folderView = new CFTPFolderView(m_splitter);
    m_dirView = new CFTPDirView(m_splitter);
    m_splitter->SplitHorizontally(m_folderView, m_dirView, kFolderPaneHeight);
    m_folderView->SetDirCtrl(&m_dirView->List());

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_splitter, 1, wxEXPAND);
    SetSizer(sizer);
}
