#pragma once

#include <wx/dialog.h>

#include <filesystem>

namespace brindle {
class CShellFolderCtrl;
}

// Picks a local folder in the folder tree: "Location", the tree above OK and
// Cancel. OK is offered only while a folder is selected.
class CLocationDlg : public wxDialog {
public:
    // Opens the tree at `start` and selects it when it is there.
    CLocationDlg(wxWindow* parent, const std::filesystem::path& start);
    // The selected folder, without a final separator (a root keeps its own);
    // empty when none is selected.
    std::filesystem::path GetPath() const;
    brindle::CShellFolderCtrl& Tree() { return *m_tree; }

private:
    brindle::CShellFolderCtrl* m_tree;
};
