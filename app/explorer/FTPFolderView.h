#pragma once

#include <wx/panel.h>
#include <wx/treebase.h>

class wxImageList;
class wxTreeEvent;

namespace brindle {
class CFTPDirCtrl;
class CFTPFolderCtrl;
class CFTPFolderServer;
} // namespace brindle

// The root, server, open folder and closed folder pictures of an FTP server tree.
wxImageList* CreateFtpTreeImages();

// The upper pane of the FTP explorer: the tree of stored servers and their
// folders. Servers are added, configured, deleted, disconnected and refreshed
// from here; selecting a folder lists its files in the paired list, selecting
// anything else empties it.
class CFTPFolderView : public wxPanel {
public:
    static constexpr int kTreeId = 177;

    explicit CFTPFolderView(wxWindow* parent);
    ~CFTPFolderView() override;

    // The list that shows the selected folder's files (not owned).
    void SetDirCtrl(brindle::CFTPDirCtrl* list) { m_list = list; }
    brindle::CFTPFolderCtrl& Tree() const { return *m_tree; }
    // The context menu resource for an entry: root, folder, or server (also for no entry).
    int MenuFor(const wxTreeItemId& item) const;

private:
    // The selected server entry's record; null for the root, a folder or no entry.
    brindle::CFTPFolderServer* SelectedServer() const;
    void ShowMenuAt(const wxTreeItemId& item, const wxPoint& pointInTree);

    void OnAddServer(wxCommandEvent& event);
    void OnProperties(wxCommandEvent& event);
    void OnDelete(wxCommandEvent& event);
    void OnDisconnect(wxCommandEvent& event);
    void OnRefresh(wxCommandEvent& event);
    void OnSelChanged(wxTreeEvent& event);
    void OnItemMenu(wxTreeEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

    brindle::CFTPFolderCtrl* m_tree = nullptr;
    brindle::CFTPDirCtrl* m_list = nullptr;
};
