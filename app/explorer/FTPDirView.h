#pragma once

#include <wx/panel.h>

#include <string>

class wxListEvent;

namespace brindle {
class CFTPDirCtrl;
}

// The lower pane of the FTP explorer: the files of the folder selected in the
// tree above. A file is opened as a document by its "ftp://" address; its
// properties are read afresh from the server and shown in a sheet.
class CFTPDirView : public wxPanel {
public:
    static constexpr int kListId = 178;

    explicit CFTPDirView(wxWindow* parent);

    brindle::CFTPDirCtrl& List() const { return *m_list; }
    // "ftp://" + the server's entry name + folder path + "/" + file name of the first selected
    // row; empty, after a message, when there is none or its name cannot be sent.
    std::string SelectedAddress() const;

private:
    void OnOpen(wxCommandEvent& event);
    void OnProperties(wxCommandEvent& event);
    void OnRefresh(wxCommandEvent& event);
    void OnActivated(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnListFocus(wxFocusEvent& event);

    brindle::CFTPDirCtrl* m_list = nullptr;
};
