#include "brindlekit/ftp/FTPFolderCtrl.h"

#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/ui/UIServices.h"

#include <utility>
#include <vector>

namespace brindle {

namespace {

// "Remote servers"
const char kRootText[] = "远程服务器";

enum Image { kRootImage = 0, kServerImage = 1, kOpenFolderImage = 2, kClosedFolderImage = 3 };

} // namespace

// What an entry owns: a server entry its record, a folder entry its folder.
class CFTPFolderCtrl::EntryData : public wxTreeItemData {
public:
    explicit EntryData(std::unique_ptr<CFTPFolderServer> s) : server(std::move(s)) {}
    explicit EntryData(const CFTPFolderItem& f) : folder(f) {}

    std::unique_ptr<CFTPFolderServer> server; // closes its connection when the entry goes
    CFTPFolderItem folder;
    // Connected and given its folder (server), or listed with subfolders
    // (folder); cleared when the entry is collapsed and reset.
    bool expandedOnce = false;
};

CFTPFolderCtrl::CFTPFolderCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxTreeCtrl(parent, id, pos, size, style)
{
    Bind(wxEVT_TREE_ITEM_EXPANDING, &CFTPFolderCtrl::OnExpanding, this);
    Bind(wxEVT_LEFT_DOWN, &CFTPFolderCtrl::OnLeftDown, this);
}

CFTPFolderCtrl::~CFTPFolderCtrl()
{
    // The entries own the records; deleting them closes every connection.
    DeleteAllItems();
}

void CFTPFolderCtrl::Init()
{
    if (!m_root.IsOk()) m_root = AddRoot(wxString::FromUTF8(kRootText), kRootImage, kRootImage);
    RestoreSettings();
}

// ---- Questions ----

CFTPFolderCtrl::EntryData* CFTPFolderCtrl::DataOf(const wxTreeItemId& item) const
{
    return item.IsOk() ? static_cast<EntryData*>(GetItemData(item)) : nullptr;
}

wxTreeItemId CFTPFolderCtrl::OrSelected(const wxTreeItemId& item) const
{
    return item.IsOk() ? item : GetSelection();
}

bool CFTPFolderCtrl::IsRootEntry(const wxTreeItemId& item) const
{
    return item.IsOk() && item == m_root;
}

ftp_tree::EntryKind CFTPFolderCtrl::KindOf(const wxTreeItemId& item) const
{
    const bool set = item.IsOk();
    return ftp_tree::KindOf(set, set && IsRootEntry(item), set && IsRootEntry(GetItemParent(item)));
}

bool CFTPFolderCtrl::IsFolder(const wxTreeItemId& item) const
{
    return KindOf(item) == ftp_tree::EntryKind::Folder;
}

bool CFTPFolderCtrl::GetSelectedFolder(CFTPFolderItem& folder) const
{
    const wxTreeItemId selected = GetSelection();
    if (!IsFolder(selected)) return false;
    folder = DataOf(selected)->folder;
    return true;
}

bool CFTPFolderCtrl::GetFolderServer(CFTPFolderServer*& server, const wxTreeItemId& item) const
{
    const wxTreeItemId target = OrSelected(item);
    switch (KindOf(target)) {
    case ftp_tree::EntryKind::Server:
        server = DataOf(target)->server.get();
        return true;
    case ftp_tree::EntryKind::Folder:
        server = DataOf(target)->folder.GetFolderServer();
        return true;
    default:
        return false;
    }
}

wxTreeItemId CFTPFolderCtrl::ServerEntryOf(const wxTreeItemId& item) const
{
    wxTreeItemId entry = item;
    while (KindOf(entry) == ftp_tree::EntryKind::Folder) entry = GetItemParent(entry);
    return KindOf(entry) == ftp_tree::EntryKind::Server ? entry : wxTreeItemId();
}

// ---- The store's tree side ----

wxTreeItemId CFTPFolderCtrl::InsertServerItem(std::unique_ptr<CFTPFolderServer> server)
{
    if (!m_root.IsOk()) m_root = AddRoot(wxString::FromUTF8(kRootText), kRootImage, kRootImage);
    const wxString text = wxString::FromUTF8(server->GetEntryName());
    const wxTreeItemId item = AppendItem(m_root, text, kServerImage, kServerImage, new EntryData(std::move(server)));
    SetItemHasChildren(item, m_bExpansion);
    return item;
}

void CFTPFolderCtrl::SetEntryText(const wxTreeItemId& item, const std::string& text)
{
    if (item.IsOk()) SetItemText(item, wxString::FromUTF8(text));
}

// ---- Expanding ----

bool CFTPFolderCtrl::EnsureConnected(CFTPFolderServer& server)
{
    return server.IsConnected() || server.Connect() == 1;
}

void CFTPFolderCtrl::AddFolderUnder(const wxTreeItemId& parent, const CFTPFolderItem& folder)
{
    AppendItem(parent, wxString::FromUTF8(ftp_tree::FolderText(folder)), kClosedFolderImage, kOpenFolderImage,
               new EntryData(folder));
}

void CFTPFolderCtrl::AddFolder(const CFTPFolderItem& folder)
{
    const wxTreeItemId selected = GetSelection();
    if (selected.IsOk()) AddFolderUnder(selected, folder);
}

bool CFTPFolderCtrl::ListInto(const wxTreeItemId& item, const CFTPFolderItem& folder)
{
    CFTPFolderServer* server = folder.GetFolderServer();
    if (!server || !EnsureConnected(*server)) return false;
    std::unique_ptr<CFTPFileFind> finder;
    if (server->GetFiles(finder, folder.GetEntryPath()) && finder) {
        Freeze();
        const auto subfolders = ftp_tree::SubfoldersOf(*finder, server);
        for (const CFTPFolderItem& subfolder : subfolders) AddFolderUnder(item, subfolder);
        Thaw();
        DataOf(item)->expandedOnce = !subfolders.empty();
    }
    return true;
}

void CFTPFolderCtrl::ExpandItem(const wxTreeItemId& item)
{
    const wxTreeItemId target = OrSelected(item);
    EntryData* data = DataOf(target);
    const auto expansion =
        ftp_tree::ExpansionOf(KindOf(target), data && data->expandedOnce, !data || data->folder.IsListable());
    if (expansion == ftp_tree::Expansion::Nothing) return;

    SelectItem(target);
    WaitCursor wait;
    CFTPFolderServer* server = nullptr;
    GetFolderServer(server, target);
    bool reached = true;
    switch (expansion) {
    case ftp_tree::Expansion::OpenServer:
        reached = EnsureConnected(*server);
        if (reached) {
            server->SetFolderHITEM(target);
            AddFolderUnder(target, ftp_tree::InitialFolder(server));
            data->expandedOnce = true;
        }
        break;
    case ftp_tree::Expansion::ListFolder:
        reached = ListInto(target, data->folder);
        break;
    case ftp_tree::Expansion::RefuseFolder:
        UIServices().MessageBox(ftp_tree::UnusableFolderMessage(data->folder), MsgButtons::Ok, MsgIcon::Warning);
        break;
    case ftp_tree::Expansion::Nothing:
        break;
    }
    if (!reached) {
        const wxTreeItemId remembered = server ? server->GetFolderHITEM() : wxTreeItemId();
        CloseItem(remembered.IsOk() ? remembered : GetSelection());
    }
}

void CFTPFolderCtrl::OnExpanding(wxTreeEvent& event)
{
    const wxTreeItemId item = event.GetItem();
    if (!ftp_tree::ExpandsOnExpanding(KindOf(item), m_bExpansion)) return;
    ExpandItem(item);
    // A server that could not be reached stays closed with its button, so that
    // the next expansion tries again.
    if (GetChildrenCount(item, false) == 0) event.Veto();
}

void CFTPFolderCtrl::OnLeftDown(wxMouseEvent& event)
{
    event.Skip();
    CallAfter(&CFTPFolderCtrl::AfterClick);
}

void CFTPFolderCtrl::AfterClick()
{
    const wxTreeItemId selected = GetSelection();
    if (ftp_tree::ExpandsOnClick(KindOf(selected), selected.IsOk() && GetChildrenCount(selected, false) > 0))
        ExpandItem(selected);
}

// ---- Closing, refreshing and removing ----

void CFTPFolderCtrl::CollapseAndForget(const wxTreeItemId& item)
{
    Collapse(item);
    DeleteChildren(item);
    if (EntryData* data = DataOf(item)) data->expandedOnce = false;
    if (KindOf(item) == ftp_tree::EntryKind::Server) SetItemHasChildren(item, m_bExpansion);
}

void CFTPFolderCtrl::CloseItem(const wxTreeItemId& item)
{
    const wxTreeItemId entry = ServerEntryOf(OrSelected(item));
    if (!entry.IsOk()) return;
    CFTPFolderServer& server = *DataOf(entry)->server;
    if (!server.IsConnected()) return;
    CollapseAndForget(entry);
    server.Close();
}

void CFTPFolderCtrl::RefreshItem(const wxTreeItemId& item)
{
    const wxTreeItemId target = OrSelected(item);
    if (!target.IsOk()) return;
    if (IsRootEntry(target)) {
        wxTreeItemIdValue cookie;
        RemoveAllItems(GetFirstChild(m_root, cookie));
        RestoreSettings();
        return;
    }
    Freeze();
    const bool wasExpanded = IsExpanded(target);
    CollapseAndForget(target);
    if (IsFolder(target)) ExpandItem(target);
    Thaw();
    if (wasExpanded) Expand(target);
}

void CFTPFolderCtrl::RemoveAllItems(const wxTreeItemId& item)
{
    std::vector<wxTreeItemId> entries;
    for (wxTreeItemId entry = item; entry.IsOk(); entry = GetNextSibling(entry)) entries.push_back(entry);
    // Deleting an entry deletes what lies below it and the records they own; a
    // server record closes its connection as it goes.
    for (const wxTreeItemId& entry : entries) Delete(entry);
}

void CFTPFolderCtrl::RemoveItem(const wxTreeItemId& item)
{
    if (item.IsOk() && !IsRootEntry(item)) Delete(item);
}

} // namespace brindle
