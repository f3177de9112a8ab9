#pragma once

#include "brindlekit/shell/ShellFolderTree.h"
#include "platform/Export.h"

#include <wx/imaglist.h>
#include <wx/treectrl.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace brindle {

// The local folders as a tree. Its entries live in a ShellFolderTree; each
// level is read when its parent is first expanded. The tree's own root is
// hidden, so the starting points show side by side.
class BRINDLEKIT_API CShellFolderCtrl : public wxTreeCtrl {
public:
    CShellFolderCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize);
    ~CShellFolderCtrl() override;

    // Builds the folder icons and shows the usual starting points.
    void Init();
    // Shows these starting points, or one folder, reading nothing below them yet.
    void SetFolder(const std::vector<ShellRoot>& roots);
    void SetFolder(const std::filesystem::path& folder);

    // Opens the tree down to a folder under one of its starting points (the
    // deepest one that holds it) and selects it. False when the folder is not
    // in the tree (missing, hidden, outside every starting point); the deepest
    // folder reached on the way is selected then, if any.
    bool SelectFolder(const std::filesystem::path& folder);
    // The selected folder's path; false when nothing is selected.
    bool GetSelectedFolderPath(std::filesystem::path& path) const;
    // Reads the selected folder's subfolders again. (Hides the window's
    // Refresh; call wxTreeCtrl::Refresh to redraw.)
    void Refresh();
    const ShellFolderTree& Model() const { return m_tree; }
    // Carries out a ShellCommand on the selected folder (20: its properties);
    // false without a selection or when it fails.
    bool InvokeCommand(int command, const wxPoint& at);

private:
    class EntryData;
    ShellFolderEntry* EntryOf(const wxTreeItemId& item) const;
    void AddItem(const wxTreeItemId& parent, ShellFolderEntry& entry);
    void AddChildren(const wxTreeItemId& item, ShellFolderEntry& entry);
    wxTreeItemId ChildNamed(const wxTreeItemId& parent, const std::string& name) const;
    void OnExpanding(wxTreeEvent& event);

    ShellFolderTree m_tree;
    std::unique_ptr<wxImageList> m_images;
};

} // namespace brindle
