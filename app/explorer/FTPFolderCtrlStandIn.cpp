// TEMPORARY STAND-IN for the FTP folder tree; see the header.
#include "app/explorer/FTPFolderCtrlStandIn.h"

namespace brindle {

namespace {

struct ServerData : wxTreeItemData {
    explicit ServerData(std::unique_ptr<CFTPFolderServer> s) : server(std::move(s)) {}
    std::unique_ptr<CFTPFolderServer> server;
};

} // namespace

CFTPFolderCtrl::CFTPFolderCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxTreeCtrl(parent, id, pos, size, style)
{
}

void CFTPFolderCtrl::Init()
{
    DeleteAllItems();
    AddRoot(wxString::FromUTF8("远程服务器"), 0, 0);
    RestoreSettings();
}

wxTreeItemId CFTPFolderCtrl::InsertServerItem(std::unique_ptr<CFTPFolderServer> server)
{
    const wxString name = wxString::FromUTF8(server->GetEntryName());
    return AppendItem(GetRootItem(), name, 1, 1, new ServerData(std::move(server)));
}

void CFTPFolderCtrl::CloseItem(const wxTreeItemId& item)
{
    CFTPFolderServer* server = nullptr;
    if (GetFolderServer(server, item)) server->Close();
}

void CFTPFolderCtrl::RemoveItem(const wxTreeItemId& item)
{
    if (item.IsOk()) Delete(item);
}

void CFTPFolderCtrl::SetEntryText(const wxTreeItemId& item, const std::string& text)
{
    if (item.IsOk()) SetItemText(item, wxString::FromUTF8(text));
}

bool CFTPFolderCtrl::GetFolderServer(CFTPFolderServer*& server, const wxTreeItemId& item) const
{
    const wxTreeItemId target = item.IsOk() ? item : GetSelection();
    auto* data = target.IsOk() ? dynamic_cast<ServerData*>(GetItemData(target)) : nullptr;
    if (!data) return false;
    server = data->server.get();
    return true;
}

} // namespace brindle
