#pragma once

#include "brindlekit/ftp/FTPFolderItem.h"
#include "brindlekit/ftp/FTPFolderRules.h"
#include "brindlekit/ftp/FTPServerStore.h"
#include "platform/Export.h"

#include <wx/treectrl.h>

namespace brindle {

// The tree of stored FTP servers and their remote folders. The root "远程服务器"
// (remote servers) holds one entry per server, each owning its record; below a
// server lie folder entries, each owning a CFTPFolderItem. Folders are fetched
// lazily: expanding a server connects and adds its initial folder, clicking a
// folder without subfolders lists it. Names from the server are shown escaped;
// a folder whose name cannot be sent back is shown but never listed into.
//
// The owner attaches the image list (0 root, 1 server, 2 open folder, 3 closed
// folder). An unset item argument means the selected entry.
class BRINDLEKIT_API CFTPFolderCtrl : public wxTreeCtrl, public CFTPServerStore {
public:
    CFTPFolderCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, long style = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT);
    // Removes every entry, closing every open connection.
    ~CFTPFolderCtrl() override;

    // ---- Setting up ----
    // Adds the root and the stored servers.
    void Init();
    // Before Init; false: servers show no expand button and never list.
    void SetExpansion(bool expand) { m_bExpansion = expand; }

    // ---- Entries ----
    // Connects a server entry or lists a folder entry, once per entry.
    void ExpandItem(const wxTreeItemId& item = {});
    // Adds a folder as the last child of the selected entry.
    void AddFolder(const CFTPFolderItem& folder);
    // The root reloads the stored servers; another entry is listed afresh.
    void RefreshItem(const wxTreeItemId& item = {});
    // Collapses a server entry, drops its folders and closes its connection.
    void CloseItem(const wxTreeItemId& item = {}) override;
    // Removes the entry with what lies below it.
    void RemoveItem(const wxTreeItemId& item) override;
    // Removes the entry and its following siblings with what lies below them.
    void RemoveAllItems(const wxTreeItemId& item);

    // ---- Questions ----
    bool IsFolder(const wxTreeItemId& item) const;
    bool GetSelectedFolder(CFTPFolderItem& folder) const;
    // The server of an entry: its own record, or a folder's server. False for
    // the root or no entry.
    bool GetFolderServer(CFTPFolderServer*& server, const wxTreeItemId& item = {}) const;

protected:
    wxTreeItemId InsertServerItem(std::unique_ptr<CFTPFolderServer> server) override;
    wxTreeItemId GetSelectedEntry() const override { return GetSelection(); }
    void SetEntryText(const wxTreeItemId& item, const std::string& text) override;

private:
    class EntryData;
    EntryData* DataOf(const wxTreeItemId& item) const;
    wxTreeItemId OrSelected(const wxTreeItemId& item) const;
    bool IsRootEntry(const wxTreeItemId& item) const;
    ftp_tree::EntryKind KindOf(const wxTreeItemId& item) const;
    wxTreeItemId ServerEntryOf(const wxTreeItemId& item) const;
    // Connects the server when it is not; false when that fails.
    static bool EnsureConnected(CFTPFolderServer& server);
    // Adds the listed subfolders; false when the server could not be reached.
    bool ListInto(const wxTreeItemId& item, const CFTPFolderItem& folder);
    void AddFolderUnder(const wxTreeItemId& parent, const CFTPFolderItem& folder);
    // Collapses the entry, drops its children and forgets it was expanded.
    void CollapseAndForget(const wxTreeItemId& item);

    void OnExpanding(wxTreeEvent& event);
    void OnLeftDown(wxMouseEvent& event);

protected:
    // After the tree has handled a left click: lists the selected folder while
    // it has no subfolders.
    void AfterClick();

private:

    wxTreeItemId m_root;
    bool m_bExpansion = true;
};

} // namespace brindle
