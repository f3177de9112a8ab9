#pragma once

// TEMPORARY STAND-IN for the FTP folder tree (brindlekit/ftp/FTPFolderCtrl.h),
// which is being written on another branch: just the part of its interface the
// remote file dialog uses, servers only, no folders. The merge of the real
// control replaces this file.

#include "brindlekit/ftp/FTPServerStore.h"

#include <wx/treectrl.h>

namespace brindle {

class CFTPFolderItem {
public:
    CFTPFolderServer* GetFolderServer() const { return m_server; }
    std::string GetEntryName() const { return m_entryName; }
    std::string GetEntryPath() const { return m_entryPath; }

    CFTPFolderServer* m_server = nullptr;
    std::string m_entryName;
    std::string m_entryPath;
};

class CFTPFolderCtrl : public wxTreeCtrl, public CFTPServerStore {
public:
    CFTPFolderCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, long style = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT);
    void Init();
    void SetExpansion(bool) {}
    void RefreshItem(const wxTreeItemId& = {}) {}
    void CloseItem(const wxTreeItemId& item = {}) override;
    void RemoveItem(const wxTreeItemId& item) override;
    bool IsFolder(const wxTreeItemId&) const { return false; }
    bool GetFolderServer(CFTPFolderServer*& server, const wxTreeItemId& item = {}) const;

protected:
    wxTreeItemId InsertServerItem(std::unique_ptr<CFTPFolderServer> server) override;
    wxTreeItemId GetSelectedEntry() const override { return GetSelection(); }
    void SetEntryText(const wxTreeItemId& item, const std::string& text) override;
};

} // namespace brindle
