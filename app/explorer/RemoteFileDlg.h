#pragma once

#include "app/explorer/RemoteBrowser.h"
#include "app/menus/Menus.h"

#include <wx/dialog.h>

#include <string>
#include <vector>

class wxComboBox;
class wxListCtrl;
class wxListEvent;
class wxTextCtrl;
class wxButton;
class wxToolBar;
class wxTreeEvent;
class wxImageList;

namespace brindle {
class CFTPFolderCtrl;
}

// "Remote File": the FTP counterpart of the file open and save dialogs. Left,
// the stored servers (added, configured and deleted here); right, a browser of
// the selected server's folders with a file name box. In open mode an accepted
// address is opened as a document; in save mode ("Save As", "Save FTP") the
// caller reads it back with GetRemotePath.
class CRemoteFileDlg : public wxDialog {
public:
    explicit CRemoteFileDlg(wxWindow* parent);
    ~CRemoteFileDlg() override;

    // Open mode; on OK the address has been handed to the document manager.
    // wxID_OK or wxID_CANCEL.
    int DoModal();
    // Save mode, the file name box filled with the text after the last "/" of
    // the current path.
    int DoSaveAs(const std::string& currentPath);
    // The address chosen by an accepted run.
    const std::string& GetRemotePath() const { return m_remotePath; }

private:
    void BuildControls();
    void AddColumns();
    void ShowBrowser();
    int SelectedRow() const;
    // A context menu of the program's kind at the cursor.
    void Popup(const std::vector<MenuItemDef>& items);

    void OnTreeSelChanged(wxTreeEvent& event);
    void OnTreeMenu(wxTreeEvent& event);
    void OnAddServer(wxCommandEvent& event);
    void OnServerProperties(wxCommandEvent& event);
    void OnDeleteServer(wxCommandEvent& event);
    void OnRefreshServer(wxCommandEvent& event);
    void OnUp(wxCommandEvent& event);
    void OnCreateDirectory(wxCommandEvent& event);
    void OnDeleteRow(wxCommandEvent& event);
    void OnRenameRow(wxCommandEvent& event);
    void OnOpenRow(wxCommandEvent& event);
    void OnRowProperties(wxCommandEvent& event);
    void OnViewMode(wxCommandEvent& event);
    void OnViewMenu(wxCommandEvent& event);
    void OnLookIn(wxCommandEvent& event);
    void OnAccept(wxCommandEvent& event);
    void OnRowSelected(wxListEvent& event);
    void OnRowActivated(wxListEvent& event);
    void OnListMenu(wxContextMenuEvent& event);
    void OnBeginLabelEdit(wxListEvent& event);
    void OnEndLabelEdit(wxListEvent& event);
    void OnCharHook(wxKeyEvent& event);

    bool m_saveMode = false;
    bool m_closing = false;
    std::string m_remotePath;
    RemoteBrowser m_browser;

    brindle::CFTPFolderCtrl* m_tree = nullptr;
    wxImageList* m_treeImages = nullptr;
    wxComboBox* m_lookIn = nullptr;
    wxToolBar* m_toolBar = nullptr;
    wxListCtrl* m_list = nullptr;
    wxTextCtrl* m_fileName = nullptr;
    wxComboBox* m_fileType = nullptr;
    wxButton* m_accept = nullptr;
};
