#include "app/explorer/FTPFolderView.h"

#include "app/explorer/FTPServerDlg.h"
#include "app/menus/Menus.h"
#include "brindlekit/ftp/FTPDirCtrl.h"
#include "brindlekit/ftp/FTPFolderCtrl.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/net/FtpNames.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <wx/accel.h>
#include <wx/artprov.h>
#include <wx/imaglist.h>
#include <wx/sizer.h>

using namespace brindle;

wxImageList* CreateFtpTreeImages()
{
    auto* images = new wxImageList(16, 16, true, 4);
    for (const wxArtID& art : {wxArtID(wxART_GO_HOME), wxArtID(wxART_HARDDISK), wxArtID(wxART_FOLDER_OPEN),
                              wxArtID(wxART_FOLDER)})
        images->Add(wxArtProvider::GetBitmap(art, wxART_OTHER, wxSize(16, 16)));
    return images;
}

CFTPFolderView::CFTPFolderView(wxWindow* parent) : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0)
{
    m_tree = new CFTPFolderCtrl(this, kTreeId, wxDefaultPosition, wxDefaultSize,
                                wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT);
    m_tree->AssignImageList(CreateFtpTreeImages());
    m_tree->SetExpansion(true);
    m_tree->Init();
    m_tree->Expand(m_tree->GetRootItem());

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_tree, 1, wxEXPAND);
    SetSizer(sizer);

    Bind(wxEVT_MENU, &CFTPFolderView::OnAddServer, this, ids::ID_FTP_ADD_SERVER);
    Bind(wxEVT_MENU, &CFTPFolderView::OnProperties, this, ids::ID_FTP_PROPERTIES);
    Bind(wxEVT_MENU, &CFTPFolderView::OnDelete, this, ids::ID_FTP_DELETE_SERVER);
    Bind(wxEVT_MENU, &CFTPFolderView::OnDisconnect, this, ids::ID_FTP_DISCONNECT);
    Bind(wxEVT_MENU, &CFTPFolderView::OnRefresh, this, ids::ID_FTP_REFRESH);
    Bind(wxEVT_TREE_SEL_CHANGED, &CFTPFolderView::OnSelChanged, this, kTreeId);
    Bind(wxEVT_TREE_ITEM_MENU, &CFTPFolderView::OnItemMenu, this, kTreeId);
    m_tree->Bind(wxEVT_CONTEXT_MENU, &CFTPFolderView::OnContextMenu, this);

    wxAcceleratorEntry keys[] = {{wxACCEL_NORMAL, WXK_DELETE, ids::ID_FTP_DELETE_SERVER},
                                 {wxACCEL_NORMAL, WXK_F5, ids::ID_FTP_REFRESH},
                                 {wxACCEL_ALT, WXK_RETURN, ids::ID_FTP_PROPERTIES}};
    SetAcceleratorTable(wxAcceleratorTable(std::size(keys), keys));
}

CFTPFolderView::~CFTPFolderView()
{
    // The tree closes its connections as it goes; the list may already be gone.
    m_list = nullptr;
    Unbind(wxEVT_TREE_SEL_CHANGED, &CFTPFolderView::OnSelChanged, this, kTreeId);
}

int CFTPFolderView::MenuFor(const wxTreeItemId& item) const
{
    if (item.IsOk() && item == m_tree->GetRootItem()) return ids::IDR_FTPROOT;
    if (item.IsOk() && m_tree->IsFolder(item)) return ids::IDR_FTPFOLDER;
    return ids::IDR_FTPSERVER;
}

CFTPFolderServer* CFTPFolderView::SelectedServer() const
{
    const wxTreeItemId item = m_tree->GetSelection();
    CFTPFolderServer* server = nullptr;
    if (!item.IsOk() || m_tree->IsFolder(item) || !m_tree->GetFolderServer(server, item)) return nullptr;
    return server;
}

void CFTPFolderView::OnAddServer(wxCommandEvent&)
{
    CFTPServerDlg dialog(this);
    dialog.SetFields(ServerFields::ForNewServer());
    if (dialog.DoModal() != wxID_OK) return;
    const ServerFields& f = dialog.Fields();
    AddServerFromFields(*m_tree, f);
}

void CFTPFolderView::OnProperties(wxCommandEvent&)
{
    CFTPFolderServer* server = SelectedServer();
    if (!server) return;
    CFTPServerDlg dialog(this);
    dialog.SetServer(*server);
    if (dialog.DoModal() != wxID_OK) return;
    const ServerFields& f = dialog.Fields();
    ModifyServerFromFields(*m_tree, server, f);
}

void CFTPFolderView::OnDelete(wxCommandEvent&)
{
    const CFTPFolderServer* server = SelectedServer();
    if (!server) return;
    const std::string name = server->GetEntryName();
    if (UIServices().MessageBox("Delete server " + FtpDisplayName(name) + "?", MsgButtons::YesNo,
                                MsgIcon::Question) != MsgResult::Yes)
        return;
    m_tree->DeleteServer(name);
}

void CFTPFolderView::OnDisconnect(wxCommandEvent&)
{
    if (SelectedServer()) m_tree->CloseItem(m_tree->GetSelection());
}

void CFTPFolderView::OnRefresh(wxCommandEvent&)
{
    const wxTreeItemId item = m_tree->GetSelection();
    if (!item.IsOk()) return;
    m_tree->RefreshItem(item);
    if (!m_list) return;
    // Refreshing the root or a server replaces the entries; ask the tree again.
    const wxTreeItemId now = m_tree->GetSelection();
    if (now.IsOk() && m_tree->IsFolder(now)) m_list->Refresh();
    else m_list->RemoveAllItems();
}

void CFTPFolderView::OnSelChanged(wxTreeEvent& event)
{
    event.Skip();
    if (!m_list) return;
    CFTPFolderItem folder;
    if (event.GetItem().IsOk() && m_tree->IsFolder(event.GetItem()) && m_tree->GetSelectedFolder(folder))
        m_list->SetFolder(folder);
    else
        m_list->RemoveAllItems();
}

void CFTPFolderView::ShowMenuAt(const wxTreeItemId& item, const wxPoint& pointInTree)
{
    if (item.IsOk()) m_tree->SelectItem(item);
    TrackContextMenu(this, MenuFor(item), ScreenToClient(m_tree->ClientToScreen(pointInTree)));
}

void CFTPFolderView::OnItemMenu(wxTreeEvent& event) { ShowMenuAt(event.GetItem(), event.GetPoint()); }

// Right clicks on entries arrive as item menus; this takes the rest: empty
// space and the keyboard's menu key.
void CFTPFolderView::OnContextMenu(wxContextMenuEvent& event)
{
    wxPoint point = event.GetPosition();
    if (point == wxDefaultPosition) {
        if (m_tree->GetSelection().IsOk()) event.Skip(); // the tree sends the item menu itself
        else ShowMenuAt({}, wxPoint(0, 0));
        return;
    }
    point = m_tree->ScreenToClient(point);
    int flags = 0;
    const wxTreeItemId hit = m_tree->HitTest(point, flags);
    if (hit.IsOk() && (flags & wxTREE_HITTEST_ONITEM)) {
        event.Skip(); // the item menu shows it
        return;
    }
    ShowMenuAt({}, point);
}
