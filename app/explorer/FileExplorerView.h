#pragma once

#include <wx/panel.h>

class wxTreeEvent;
class wxUpdateUIEvent;

namespace brindle {
class CShellDirCtrl;
class CShellFolderCtrl;
}

// The local folders: the folder tree from the usual starting points, whose
// selection the paired file list follows.
class CShellFolderView : public wxPanel {
public:
    explicit CShellFolderView(wxWindow* parent);
    // The list that shows the selected folder's files (not owned).
    void SetDirCtrl(brindle::CShellDirCtrl* list) { m_list = list; }
    brindle::CShellFolderCtrl& Tree() const { return *m_tree; }

private:
    void OnSelChanged(wxTreeEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnProperties(wxCommandEvent& event);

    brindle::CShellFolderCtrl* m_tree = nullptr;
    brindle::CShellDirCtrl* m_list = nullptr;
};

// The files of the folder chosen in the tree, optionally of one type only; a
// file opens as a document.
class CShellDirView : public wxPanel {
public:
    explicit CShellDirView(wxWindow* parent);
    brindle::CShellDirCtrl& List() const { return *m_list; }
    // Opens the selected file as a document; nothing without a selection.
    void Open();

private:
    void OnFilter(wxCommandEvent& event);
    void OnUpdateNeedsSelection(wxUpdateUIEvent& event);

    brindle::CShellDirCtrl* m_list = nullptr;
};

// The "Explore" page of the explorer bar: the folder tree above the file list.
class CZevFileExplorerView : public wxPanel {
public:
    explicit CZevFileExplorerView(wxWindow* parent);
    CShellFolderView& FolderView() const { return *m_folders; }
    CShellDirView& DirView() const { return *m_files; }

private:
    CShellFolderView* m_folders = nullptr;
    CShellDirView* m_files = nullptr;
};
